#include "formats/pro.h"

namespace velloran {

// Placeholders until the PRO reader and writer land.
bool LoadPRO(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "PRO images are not supported yet";
  return false;
}
bool LoadPROFromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "PRO images are not supported yet";
  return false;
}
bool SavePRO(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "PRO images are not supported yet";
  return false;
}
bool SavePROToBytes(TZX_Disk& disk, Bytes&) {
  disk.LastError = "PRO images are not supported yet";
  return false;
}

}  // namespace velloran
