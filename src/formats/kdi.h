// KDI images: Korvet sector dumps, 5 sectors of 1024 bytes per track.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbeKDI(const ProbeInput& input);
bool LoadKDI(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadKDIFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveKDI(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveKDIToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
