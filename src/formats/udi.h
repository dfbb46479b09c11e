// UDI images: raw MFM tracks with their sync maps and a checksum.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "model/disk.h"

namespace velloran {

bool LoadUDI(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadUDIFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveUDI(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveUDIToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
