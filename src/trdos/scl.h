// SCL files: TR-DOS files with a short catalog, loaded as a TR-DOS disk.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "model/disk.h"

namespace velloran {

bool LoadSCL(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadSCLFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveSCL(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveSCLToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
