// UDI images: raw MFM tracks with their sync maps and a checksum.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

// Reads a UDI image: every track keeps its raw bytes, and its sectors are
// found by scanning them for address marks.
Confidence ProbeUDI(const ProbeInput& input);
bool LoadUDI(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadUDIFromBytes(TZX_Disk& disk, ByteSpan data);
// Writes every track up to the highest present one, built by BuildRawTrack.
bool SaveUDI(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveUDIToBytes(TZX_Disk& disk, Bytes& out);
// What a UDI file cannot hold of the disk: raw bytes past a built track, data
// beyond the sector size.
SaveLosses SaveLossesUDI(const TZX_Disk& disk, std::string_view format);

}  // namespace velloran
