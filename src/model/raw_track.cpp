#include "model/disk.h"

namespace velloran {

// Placeholder until raw-track building lands.
bool TZX_Disk::BuildRawTrack(std::uint8_t track, std::uint8_t*, std::uint8_t*) {
  ErrTrack = track;
  return false;
}

}  // namespace velloran
