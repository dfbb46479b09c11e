// MFI images (MAME's floppy image): every track as one revolution of cells
// whose lengths are fractions of a turn, zlib-compressed.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "model/disk.h"

namespace velloran {

// An MFI image starts with either of its two signatures.
Confidence ProbeMFI(const ProbeInput& input);

// Reads an MFI image (current and old signature): the flux of every track is
// decoded into the disk and kept beside it.
bool LoadMFI(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadMFIFromBytes(TZX_Disk& disk, ByteSpan data);
// Writes every track up to the highest present one: the first revolution of
// captured flux of an unchanged track, else the track encoded.
bool SaveMFI(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveMFIToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
