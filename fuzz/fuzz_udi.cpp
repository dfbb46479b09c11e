// Feeds arbitrary bytes to the UDI reader; the sanitizers catch any access
// outside the file, the raw tracks, the slots or the sector data. Each input
// is also tried with its length field and checksum made right, so that the
// mutations reach the track records instead of stopping at the checksum.
#include <cstddef>
#include <cstdint>

#include "formats/udi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  // The disk holds about 5 MB of tracks: one, on the heap, for every run.
  static auto* disk = new TZX_Disk;
  LoadUDIFromBytes(*disk, ByteSpan(data, size));
  if (size < 20) return 0;
  Bytes repaired(data, data + size);
  const auto body = static_cast<std::uint32_t>(size - 4);
  WriteLe32(&repaired[4], body);
  WriteLe32(&repaired[body], CalcCRC32(repaired.data(), body));
  if (LoadUDIFromBytes(*disk, repaired)) {
    // What was loaded must also build and save again.
    Bytes out;
    SaveUDIToBytes(*disk, out);
  }
  return 0;
}
