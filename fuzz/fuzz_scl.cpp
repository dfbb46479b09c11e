// Feeds arbitrary bytes to the SCL reader, and saves what it loaded again.
#include <cstddef>
#include <cstdint>

#include "trdos/scl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The disk holds about 5 MB of tracks: one, on the heap, for every run.
  static auto* disk = new velloran::TZX_Disk;
  if (velloran::LoadSCLFromBytes(*disk, velloran::ByteSpan(data, size))) {
    velloran::Bytes out;
    velloran::SaveSCLToBytes(*disk, out);
  }
  return 0;
}
