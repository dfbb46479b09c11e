#include "formats/fdi.h"

namespace velloran {

// Placeholders until the FDI reader and writer land.
bool LoadFDI(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "FDI images are not supported yet";
  return false;
}
bool LoadFDIFromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "FDI images are not supported yet";
  return false;
}
bool SaveFDI(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "FDI images are not supported yet";
  return false;
}
bool SaveFDIToBytes(TZX_Disk& disk, Bytes&) {
  disk.LastError = "FDI images are not supported yet";
  return false;
}

}  // namespace velloran
