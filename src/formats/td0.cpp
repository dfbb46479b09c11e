#include "formats/td0.h"

namespace velloran {

// Placeholders until the TD0 reader and writer land.
bool LoadTD0(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "TD0 images are not supported yet";
  return false;
}
bool LoadTD0FromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "TD0 images are not supported yet";
  return false;
}
bool SaveTD0(TZX_Disk& disk, const std::filesystem::path&, bool) {
  disk.LastError = "TD0 images are not supported yet";
  return false;
}
bool SaveTD0ToBytes(TZX_Disk& disk, Bytes&, bool) {
  disk.LastError = "TD0 images are not supported yet";
  return false;
}

}  // namespace velloran
