// HFE images: floppy-emulator MFM bit-cell images.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "model/disk.h"

namespace velloran {

bool LoadHFE(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadHFEFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveHFE(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveHFEToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
