// HFE images: floppy-emulator MFM bit-cell images.
#pragma once

#include <array>
#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbeHFE(const ProbeInput& input);
bool LoadHFE(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadHFEFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveHFE(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveHFEToBytes(TZX_Disk& disk, Bytes& out);
// What a HFE file cannot hold of the disk: raw bytes past the 6250 bytes of a side, data
// beyond the sector size.
SaveLosses SaveLossesHFE(const TZX_Disk& disk, std::string_view format);

// The two file bytes that carry one raw track byte as MFM cells. `sync` marks
// an A1 or C2 written with a missing clock bit. `previousBit` is the last
// data bit sent before it and is updated.
std::array<std::uint8_t, 2> HfeCellBytes(std::uint8_t value, bool sync, int& previousBit);

}  // namespace velloran
