#include "engine/controller_commands.h"

#include <vector>

#include "drive/flux_drive.h"
#include "engine/engine_steps.h"
#include "engine/messages.h"
#include "flux/track_decoder.h"

namespace velloran {

namespace {

// Attempts at reading track 0 for the catalog, whatever RetryCount says.
constexpr int kCatalogAttempts = 5;

}  // namespace

// Resets the controller and brings the heads to cylinder 0 by way of cylinder 80.
std::optional<Phrase> ResetController(FloppyDriver& driver) {
  if (!driver.Reset()) return ResetFailed(driver.LastError());
  if (!driver.Seek(80, 0)) return SeekFailed(driver.LastError());
  if (!driver.Seek(0, 0)) return SeekFailed(driver.LastError());
  return std::nullopt;
}

// Reads the 16 catalog track sectors in one request and hands them to the
// TR-DOS catalog parser; the disk in memory is not touched.
DriveCatalogResult ReadDriveCatalog(FloppyDriver& driver, TrdosCatalog& catalog) {
  DriveCatalogResult result;
  if (auto message = ResetController(driver)) {
    result.message = std::move(message);
    return result;
  }
  ReadWriteBlock block;
  block.flags = kFlagMfm;
  block.head = 0;
  block.id = {0, 0, 1, 1};
  block.eot = 17;
  block.gap = kReadGap;
  block.dtl = kDataLengthAll;

  std::vector<std::uint8_t> buffer(kSectorBufferSize, 0);
  std::size_t received = 0;
  bool ok = false;
  for (int attempt = 0; attempt < kCatalogAttempts && !ok; ++attempt) ok = driver.ReadData(block, buffer, received);
  if (!ok) {
    result.message = Phrase{MessageId::TrackZeroReadFailed, {driver.LastError()}};
    return result;
  }
  if (!ParseCatalog(ByteSpan(buffer.data(), kCatalogImageSize), catalog)) {
    result.message = Phrase{MessageId::DriveDiskNotTrdos};
    return result;
  }
  result.showCatalog = true;
  return result;
}

std::optional<Phrase> ResetController(DiskDrive& drive) {
  return VisitDrive(
      drive, [](FloppyDriver& controller) { return ResetController(controller); },
      [](FluxDrive& flux) -> std::optional<Phrase> {
        const FluxDriveStopper stopper(flux);
        if (!flux.Start()) return flux.LastFailure();
        return std::nullopt;
      });
}

namespace {

// The catalog of a flux drive comes from the decoded flux of track 0.
DriveCatalogResult ReadFluxDriveCatalog(FluxDrive& flux, TrdosCatalog& catalog) {
  DriveCatalogResult result;
  const FluxDriveStopper stopper(flux);
  FluxTrack track;
  if (!flux.Start() || !flux.ReadFlux(2, track)) {
    result.message = flux.LastFailure();
    return result;
  }
  auto disk = std::make_unique<TZX_Disk>();
  DecodeFluxTrack(track, disk->GetTrack(0));
  if (!ReadCatalog(*disk, catalog)) {
    result.message = Phrase{MessageId::DriveDiskNotTrdos};
    return result;
  }
  result.showCatalog = true;
  return result;
}

}  // namespace

DriveCatalogResult ReadDriveCatalog(DiskDrive& drive, TrdosCatalog& catalog) {
  return VisitDrive(
      drive, [&](FloppyDriver& controller) { return ReadDriveCatalog(controller, catalog); },
      [&](FluxDrive& flux) { return ReadFluxDriveCatalog(flux, catalog); });
}

}  // namespace velloran
