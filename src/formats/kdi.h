// KDI images: Korvet sector dumps, 5 sectors of 1024 bytes per track.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbeKDI(const ProbeInput& input);
bool LoadKDI(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadKDIFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveKDI(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveKDIToBytes(TZX_Disk& disk, Bytes& out);
// What a KDI file cannot hold of the disk (sectors outside the Korvet layout).
SaveLosses SaveLossesKDI(const TZX_Disk& disk, std::string_view format);

}  // namespace velloran
