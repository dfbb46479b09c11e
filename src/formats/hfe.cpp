#include "formats/hfe.h"

namespace velloran {

// Placeholders until the HFE reader and writer land.
bool LoadHFE(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "HFE images are not supported yet";
  return false;
}
bool LoadHFEFromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "HFE images are not supported yet";
  return false;
}
bool SaveHFE(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "HFE images are not supported yet";
  return false;
}
bool SaveHFEToBytes(TZX_Disk& disk, Bytes&) {
  disk.LastError = "HFE images are not supported yet";
  return false;
}

}  // namespace velloran
