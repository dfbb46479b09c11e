// Steps the reading engines share: the scan of a track's IDs into its slots,
// what a read sector leaves in its slot, and the lines they log.
#pragma once

#include <cstdint>
#include <vector>

#include "drive/floppy_driver.h"
#include "engine/operation.h"
#include "model/disk.h"

namespace velloran {

// Error code logged for a sector whose size code has no length in the model
// (above 3): no request is made for it (the Windows "invalid parameter" code).
inline constexpr std::uint32_t kUnsupportedSizeCode = 87;

// Puts a line into the track's log. The track's log is kept with the disk
// (the udf file saves it), so it is written in the language of the moment.
void LogToTrack(TTrack& track, const Phrase& line);

// Puts a line into the track's log and into the main log.
void LogBoth(TTrack& track, OperationHost& host, const Phrase& line, bool selected);

// The read error of a sector with the controller's code and its place.
Phrase ReadFailedLine(std::uint32_t code, int track, std::uint8_t sector);

// Scans the IDs of track t and stores them in its first slots, in the order
// met on the track. Only the ID fields of those slots change. Returns the
// number of IDs stored: 0 when the scan failed or found none.
int ScanStep(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, int t);

// Makes slots 0.. of track t hold these IDs (with their CRCs) and the track
// present, repainting the cells; the data fields stay as they are.
void StoreIds(TZX_Disk& disk, int t, const std::vector<IdHeader>& ids);

// The IDs of slots 0..count-1 of a track.
std::vector<IdHeader> TrackIds(const TTrack& track, int count);

// A sector read without error: its length's worth of `data` goes into the
// slot, which becomes a used slot with good data. `received` is the byte
// count the driver reported for it; a count other than the length is logged.
void StoreReadSector(TTrack& track, OperationHost& host, int slot, const std::uint8_t* data, std::size_t received);

// A sector whose read failed: logged in both logs, its error count grows, its
// data is marked bad and keeps what it held.
void MarkReadFailed(TTrack& track, OperationHost& host, int t, int slot, std::uint32_t code);

}  // namespace velloran
