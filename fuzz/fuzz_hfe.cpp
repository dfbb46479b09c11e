// Reads arbitrary HFE files, then builds each loaded track back into raw
// bytes from its raw image, as saving does (the MFM coding that follows
// depends on nothing but those bytes).
#include <array>
#include <cstddef>
#include <cstdint>

#include "formats/hfe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  static auto* disk = new TZX_Disk;
  if (!LoadHFEFromBytes(*disk, ByteSpan(data, size))) return 0;
  std::array<std::uint8_t, kRawTrackLength> raw;
  std::array<std::uint8_t, kSyncMapLength> syncMap;
  for (int track = 0; track < kTrackCount; ++track) {
    if (!disk->GetTrack(static_cast<std::uint8_t>(track)).Present) continue;
    raw.fill(0x4E);
    disk->BuildRawTrack(static_cast<std::uint8_t>(track), raw.data(), syncMap.data());
  }
  return 0;
}
