// TD0 images (TeleDisk), plain ("TD") or LZH-compressed ("td").
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "model/disk.h"

namespace velloran {

bool LoadTD0(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadTD0FromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveTD0(TZX_Disk& disk, const std::filesystem::path& file, bool compress);
bool SaveTD0ToBytes(TZX_Disk& disk, Bytes& out, bool compress);

}  // namespace velloran
