#include "model/disk_loss.h"

namespace velloran {

Diagnostic LossDiagnostic(const DiskLoss& loss) {
  return {loss.detail, Severity::Warning, {loss.track, loss.track < 0 ? -1 : loss.sector}};
}

std::string LossText(const DiskLoss& loss, Language language) {
  return RenderDiagnostic(language, LossDiagnostic(loss));
}

std::string_view LossKindName(LossKind kind) {
  switch (kind) {
    case LossKind::SectorData: return "sector_data";
    case LossKind::RawBytes: return "raw_bytes";
    case LossKind::DataCrcState: return "data_crc";
    case LossKind::NoDataField: return "no_data";
    case LossKind::IdCrcState: return "id_crc";
    case LossKind::DeletedMark: return "deleted_mark";
    case LossKind::Copies: return "copies";
    case LossKind::Comment: return "comment";
    case LossKind::DataRate: return "data_rate";
    case LossKind::Encoding: return "encoding";
    case LossKind::Revolutions: return "revolutions";
    case LossKind::OutsideFiles: return "outside_files";
    case LossKind::CylinderBeyondDisk: return "cylinder_beyond_disk";
    case LossKind::FluxCut: return "flux_cut";
  }
  return "unknown";
}

}  // namespace velloran
