// FDI images: sector images with per-track and per-sector headers.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbeFDI(const ProbeInput& input);
bool LoadFDI(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadFDIFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveFDI(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveFDIToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
