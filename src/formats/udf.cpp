#include "formats/udf.h"

namespace velloran {

// Placeholders until the UDF reader and writer land.
bool LoadUDF(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "UDF images are not supported yet";
  return false;
}
bool LoadUDFFromBytes(TZX_Disk& disk, ByteSpan) {
  disk.LastError = "UDF images are not supported yet";
  return false;
}
bool SaveUDF(TZX_Disk& disk, const std::filesystem::path&) {
  disk.LastError = "UDF images are not supported yet";
  return false;
}
bool SaveUDFToBytes(TZX_Disk& disk, Bytes&) {
  disk.LastError = "UDF images are not supported yet";
  return false;
}

}  // namespace velloran
