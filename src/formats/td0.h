// TD0 images (TeleDisk), plain ("TD") or LZH-compressed ("td").
#pragma once

#include <ctime>
#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbeTD0(const ProbeInput& input);
bool LoadTD0(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadTD0FromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveTD0(TZX_Disk& disk, const std::filesystem::path& file, bool compress);
// What a TD0 file cannot hold of the disk (data beyond the sector size).
SaveLosses SaveLossesTD0(const TZX_Disk& disk, std::string_view format);
bool SaveTD0ToBytes(TZX_Disk& disk, Bytes& out, bool compress);
// The same with a given creation time instead of the current one.
bool SaveTD0ToBytes(TZX_Disk& disk, Bytes& out, bool compress, const std::tm& created);

// The checksum of TD0 headers: polynomial 0xA097, start 0, most significant
// bit first, no reflection, no final inversion.
std::uint16_t Td0Crc(ByteSpan data);

}  // namespace velloran
