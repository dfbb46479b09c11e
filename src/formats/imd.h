// ImageDisk (IMD) images: a text line and a comment, then per track its
// recording mode, cylinder, head, sector numbering map (and cylinder and head
// maps where the IDs differ from the track's place) and one record per
// sector: no data, its data, or one byte for data that is all that byte;
// each with or without a deleted-data mark and a data CRC error.
#pragma once

#include <ctime>
#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbeIMD(const ProbeInput& input);

// Reads an IMD file; the comment becomes the disk's comment lines. What the
// disk cannot hold (deleted-data marks, FM recording, data beyond 1100
// bytes, more than 20 sectors) is loaded as far as it can be and noted.
bool LoadIMD(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadIMDFromBytes(TZX_Disk& disk, ByteSpan data);

// Writes every present track as MFM at 250 kbit/s. A track whose sectors
// differ in size, or a sector with only part of its data, cannot be written:
// the save is refused with a message naming it.
bool SaveIMD(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveIMDToBytes(TZX_Disk& disk, Bytes& out);
// The same with a given time in the header line instead of the current one.
bool SaveIMDToBytes(TZX_Disk& disk, Bytes& out, const std::tm& created);

}  // namespace velloran
