// Feeds arbitrary bytes to the SCP reader (and so to the flux decoder); the
// sanitizers catch any access outside the file or the model. What loads must
// also save again.
#include <cstddef>
#include <cstdint>

#include "formats/scp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  static auto* disk = new TZX_Disk;
  if (LoadSCPFromBytes(*disk, ByteSpan(data, size))) {
    Bytes out;
    SaveSCPToBytes(*disk, out);
  }
  return 0;
}
