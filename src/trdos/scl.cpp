#include "trdos/scl.h"

namespace velloran {

// Placeholders until the SCL reader and writer land.
bool LoadSCL(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "SCL images are not supported yet";
  return false;
}
bool LoadSCLFromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "SCL images are not supported yet";
  return false;
}
bool SaveSCL(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "SCL images are not supported yet";
  return false;
}
bool SaveSCLToBytes(TZX_Disk& disk, Bytes&) {
  disk.LastError = "SCL images are not supported yet";
  return false;
}

}  // namespace velloran
