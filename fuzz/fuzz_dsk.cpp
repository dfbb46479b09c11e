// Feeds arbitrary bytes to the DSK reader (both variants); the sanitizers
// catch any access outside the file, the slots or the sector data. What
// loaded must also save again in both variants.
#include <cstddef>
#include <cstdint>

#include "formats/dsk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  // The disk holds about 5 MB of tracks: one, on the heap, for every run.
  static auto* disk = new TZX_Disk;
  if (LoadDSKFromBytes(*disk, ByteSpan(data, size))) {
    Bytes out;
    SaveDSKToBytes(*disk, out, DskVariant::Extended);
    SaveDSKToBytes(*disk, out, DskVariant::Standard);
  }
  return 0;
}
