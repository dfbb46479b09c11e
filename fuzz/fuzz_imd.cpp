// Feeds arbitrary bytes to the IMD reader; the sanitizers catch any access
// outside the file, the slots or the sector data. What loaded must also
// save again.
#include <cstddef>
#include <cstdint>

#include "formats/imd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  // The disk holds about 5 MB of tracks: one, on the heap, for every run.
  static auto* disk = new TZX_Disk;
  if (LoadIMDFromBytes(*disk, ByteSpan(data, size))) {
    Bytes out;
    SaveIMDToBytes(*disk, out, std::tm{});
  }
  return 0;
}
