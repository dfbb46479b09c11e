// FDI images: sector images with per-track and per-sector headers.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbeFDI(const ProbeInput& input);
bool LoadFDI(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadFDIFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveFDI(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveFDIToBytes(TZX_Disk& disk, Bytes& out);
// What an FDI file cannot hold of the disk (data beyond the sector size).
SaveLosses SaveLossesFDI(const TZX_Disk& disk, std::string_view format);

}  // namespace velloran
