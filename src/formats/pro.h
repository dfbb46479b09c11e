// PRO images: Profi CP/M sector dumps, 5 sectors of 1024 bytes per track.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "model/disk.h"

namespace velloran {

bool LoadPRO(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadPROFromBytes(TZX_Disk& disk, ByteSpan data);
bool SavePRO(TZX_Disk& disk, const std::filesystem::path& file);
bool SavePROToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
