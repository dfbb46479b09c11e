// udf images: the tool's own whole-disk format with logs, comments and title.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "model/disk.h"

namespace velloran {

bool LoadUDF(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadUDFFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveUDF(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveUDFToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
