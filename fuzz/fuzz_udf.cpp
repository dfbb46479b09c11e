// Feeds arbitrary bytes to the udf reader; the sanitizers catch any access
// outside the file, the raw tracks, the slots or the sector data. Each input
// is also tried with its checksum made right, so that the mutations reach the
// track blocks instead of stopping at the checksum.
#include <cstddef>
#include <cstdint>

#include "formats/udf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  // The disk holds about 5 MB of tracks: one, on the heap, for every run.
  static auto* disk = new TZX_Disk;
  LoadUDFFromBytes(*disk, ByteSpan(data, size));
  if (size < 4) return 0;
  Bytes repaired(data, data + size);
  const std::size_t body = size - 4;
  WriteLe32(&repaired[body], CalcCRC32(repaired.data(), body));
  if (LoadUDFFromBytes(*disk, repaired)) {
    // What was loaded must save again.
    Bytes out;
    SaveUDFToBytes(*disk, out);
  }
  return 0;
}
