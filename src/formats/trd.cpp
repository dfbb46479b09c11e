#include "formats/trd.h"

namespace velloran {

// Placeholders until the TRD reader and writer land.
bool LoadTRD(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "TRD images are not supported yet";
  return false;
}
bool LoadTRDFromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "TRD images are not supported yet";
  return false;
}
bool SaveTRD(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "TRD images are not supported yet";
  return false;
}
bool SaveTRDToBytes(TZX_Disk& disk, Bytes&) {
  disk.LastError = "TRD images are not supported yet";
  return false;
}

}  // namespace velloran
