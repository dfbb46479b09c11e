// Feeds arbitrary bytes to the FDI reader; the sanitizers catch any access
// outside the file, the slots or the sector data.
#include <cstddef>
#include <cstdint>

#include "formats/fdi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The disk holds about 5 MB of tracks: one, on the heap, for every run.
  static auto* disk = new velloran::TZX_Disk;
  velloran::LoadFDIFromBytes(*disk, velloran::ByteSpan(data, size));
  return 0;
}
