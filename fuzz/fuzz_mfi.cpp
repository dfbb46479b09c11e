// Feeds arbitrary bytes to the MFI reader: header, track table, zlib data
// and cells; what loads must also save again.
#include <cstddef>
#include <cstdint>

#include "formats/mfi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  static auto* disk = new TZX_Disk;
  if (LoadMFIFromBytes(*disk, ByteSpan(data, size))) {
    Bytes out;
    SaveMFIToBytes(*disk, out);
  }
  return 0;
}
