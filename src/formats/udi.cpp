#include "formats/udi.h"

namespace velloran {

// Placeholders until the UDI reader and writer land.
bool LoadUDI(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "UDI images are not supported yet";
  return false;
}
bool LoadUDIFromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "UDI images are not supported yet";
  return false;
}
bool SaveUDI(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "UDI images are not supported yet";
  return false;
}
bool SaveUDIToBytes(TZX_Disk& disk, Bytes&) {
  disk.LastError = "UDI images are not supported yet";
  return false;
}

}  // namespace velloran
