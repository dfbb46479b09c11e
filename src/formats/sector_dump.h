// Plain sector dumps (TRD, PRO, KDI): no header, the tracks one after the
// other in index order (cylinder × 2 + side), each track the data of the same
// sectors in a fixed order of sector numbers. One layout description drives
// both the reader and the writer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

struct SectorDumpLayout {
  std::string_view name;  // format name for messages, e.g. "TRD"
  std::uint8_t sizeCode;  // size code of every sector
  bool sideInId;          // ID side = track index mod 2; otherwise always 0
  // Sector numbers in file order: on track 0, and on every other track. Both
  // lists have the same length, the number of sectors per track.
  std::span<const std::uint8_t> firstTrackSectors;
  std::span<const std::uint8_t> otherTrackSectors;

  std::size_t SectorBytes() const { return std::size_t{128} << sizeCode; }
  std::size_t TrackBytes() const { return SectorBytes() * otherTrackSectors.size(); }
};

// Fills the disk from a dump. A file whose length is not a whole number of
// tracks gets one more track whose missing bytes read as zeros, so no byte of
// the file is dropped; a notice then says how many bytes were missing. An
// empty file and more tracks than the disk holds are refused.
bool LoadSectorDump(TZX_Disk& disk, ByteSpan data, const SectorDumpLayout& layout);

// Writes tracks 0 .. TracksToWrite() - 1, less trailing tracks that hold no
// sectors; a disk without such tracks is refused, since an empty file is no
// image. Each sector of the layout is taken from the first used slot of the
// track with that sector number, whatever its size code; a missing sector
// fails the save with a message in LastError.
bool SaveSectorDump(TZX_Disk& disk, Bytes& out, const SectorDumpLayout& layout);

// What a dump of this layout cannot hold: sectors whose number is not in the
// layout, a second sector with the same number on a track, sectors of another
// size, data beyond the sector size.
SaveLosses SectorDumpLosses(const TZX_Disk& disk, const SectorDumpLayout& layout, std::string_view format);

// A dump has nothing but its size to show: a file of a whole number of this
// layout's tracks, from 40 (one side of a 40-cylinder disk) up to what the
// disk holds, may be one.
Confidence ProbeSectorDumpSize(const ProbeInput& input, const SectorDumpLayout& layout);

// The same on files: a missing or unreadable file leaves "<name> file read
// error!" in LastError; a failed save writes nothing.
bool LoadSectorDumpFile(TZX_Disk& disk, const std::filesystem::path& file, const SectorDumpLayout& layout);
bool SaveSectorDumpFile(TZX_Disk& disk, const std::filesystem::path& file, const SectorDumpLayout& layout);

}  // namespace velloran
