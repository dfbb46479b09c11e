#include "formats/kdi.h"

namespace velloran {

// Placeholders until the KDI reader and writer land.
bool LoadKDI(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "KDI images are not supported yet";
  return false;
}
bool LoadKDIFromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "KDI images are not supported yet";
  return false;
}
bool SaveKDI(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "KDI images are not supported yet";
  return false;
}
bool SaveKDIToBytes(TZX_Disk& disk, Bytes&) {
  disk.LastError = "KDI images are not supported yet";
  return false;
}

}  // namespace velloran
