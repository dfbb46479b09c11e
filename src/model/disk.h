// The whole floppy disk in memory: 166 tracks of 20 sector slots each, with
// the raw byte image of each track where one is known.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/diagnostic.h"
#include "model/crc.h"
#include "model/disk_loss.h"
#include "model/lazy_bytes.h"

namespace velloran {

inline constexpr int kTrackCount = 166;       // 83 cylinders on two sides
inline constexpr int kSlotCount = 20;         // sector slots per track
inline constexpr int kSectorDataSize = 1100;  // bytes of Data per slot
inline constexpr int kRawCapacity = 6500;     // bytes of RawData per track
inline constexpr int kRawTrackLength = 6256;  // bytes of a built raw track
inline constexpr int kSyncMapLength = 782;    // 6256 bits, one per raw byte
inline constexpr std::uint8_t kNoBaseTrack = 255;

inline constexpr int kUsualDataRate = 250;  // kbit/s of an MFM double-density track

// Data length of a size code: 128 shl N. Codes above 3 are not supported.
inline int SectorLength(std::uint8_t sizeCode) { return 128 << (sizeCode & 3); }
inline bool SizeCodeSupported(std::uint8_t sizeCode) { return sizeCode <= 3; }

// Copies a slot may hold of a weak sector (whose bits read differently every
// time), counting Data as the first; each is at most kSectorDataSize bytes.
inline constexpr int kMaxSectorCopies = 8;

// A further copy of a sector's data as another read gave it.
struct DataCopy {
  bool ok = false;  // read without a data CRC error
  std::vector<std::uint8_t> data;
  bool operator==(const DataCopy&) const = default;
};

// One sector slot, held the way a floppy controller sees the sector.
struct TSectorRec {
  bool Used = false;                // the slot holds a sector
  std::uint8_t IdTrack = 0;         // C of the ID field
  std::uint8_t IdSide = 0;          // H
  std::uint8_t IdSector = 0;        // R
  std::uint8_t IdSize = 0;          // N
  std::uint16_t IdCrc = 0;          // CRC of A1 A1 A1 FE C H R N
  std::uint8_t ErrorCount = 0;      // failed reads of this sector
  bool DataOk = false;              // data read without a CRC error
  bool DeletedMark = false;         // the data field has a deleted-data mark (F8 instead of FB)
  std::uint16_t DataPos = 0;        // first data byte inside RawData; 0 = not placed
  std::uint16_t DataLen = 0;        // valid bytes of Data; 0 = no data field
  LazyBytes<kSectorDataSize> Data;  // zeros until written
  // Copies beyond Data of a weak sector, in the order they were read (at most
  // kMaxSectorCopies - 1); whoever reads one copy reads Data and DataOk.
  std::vector<DataCopy> ExtraCopies;
};

// Adds a copy of a sector's data unless the slot holds the same bytes with the
// same CRC state already or is full; cuts it to kSectorDataSize bytes.
// Returns whether it was added.
bool AddDataCopy(TSectorRec& sector, DataCopy copy);

// Marks `sector` used with the ID field C H R N and that field's CRC; the
// rest of the slot is left as it is.
void SetIdField(TSectorRec& sector, std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n);

// Whether the slot's ID CRC is the one its C H R N give (no ID CRC error).
inline bool IdCrcGood(const TSectorRec& sector) {
  return sector.IdCrc == IdFieldCrc(sector.IdTrack, sector.IdSide, sector.IdSector, sector.IdSize);
}

// Makes `sector` a used slot holding a sector read without error: the ID
// field C H R N with its CRC and SectorLength(n) data bytes, all zero.
void PlaceGoodSector(TSectorRec& sector, std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n);

// One track: its sector slots in track order and its raw image, if any. The
// byte arrays of slots and raw image take memory only once written, so a disk
// costs what its tracks hold (see lazy_bytes.h).
class TTrack {
 public:
  std::array<TSectorRec, kSlotCount> Sectors{};
  std::uint8_t TrackNum = 0;        // the track's own index 0..165
  bool Present = false;             // part of the disk image
  std::uint8_t SectorCount = 0;     // used slots, as of the last CountSectors
  bool RawValid = false;            // RawData holds a raw image from UDI/HFE
  std::uint16_t RawLength = 0;      // valid bytes of RawData
  std::uint16_t DataRate = 0;       // controller rate (kbit/s) it was recorded at; 0 = not known, taken as 250
  bool Fm = false;                  // recorded in FM (single density) rather than MFM
  LazyBytes<kRawCapacity> RawData;  // zeros until written
  std::vector<std::string> Log;     // messages about this track (UTF-8)

  // Empties the track; TrackNum stays.
  void Clear();
  // Zeroes every field of one slot; an index above 19 does nothing.
  void ClearSector(std::uint8_t index);
  // Counts the used slots among all 20, stores the count in SectorCount.
  std::uint8_t CountSectors();
  TSectorRec& GetSector(std::uint8_t index) { return Sectors[index]; }
  const TSectorRec& GetSector(std::uint8_t index) const { return Sectors[index]; }
  LazyBytes<kRawCapacity>& GetRawData() { return RawData; }
  // Whether the track was recorded as a double-density track usually is:
  // MFM at 250 kbit/s (or at a rate nobody noted).
  bool UsualRecording() const { return !Fm && (DataRate == 0 || DataRate == kUsualDataRate); }
  // Copies the sectors' data back into the raw image at their DataPos.
  void SectorsToRaw();
};

// Whoever draws the disk: told which cell to repaint while a long operation
// fills the model, and when the whole disk was cleared.
class DiskObserver {
 public:
  virtual ~DiskObserver() = default;
  virtual void RedrawSector(std::uint8_t track, std::uint8_t slot) = 0;
  virtual void RedrawTrackLabel(std::uint8_t track) = 0;
  virtual void DiskCleared() = 0;
};

// What a reader keeps beside the decoded tracks so that a writer of the same
// kind can pass it on unchanged (the flux of a flux image). The model never
// looks into it; ClearDisk drops it.
class DiskCapture {
 public:
  virtual ~DiskCapture() = default;
};

class TZX_Disk {
 public:
  TZX_Disk();

  std::string Title;            // at most 255 characters
  std::uint8_t TrackCount = 0;  // present tracks, as of the last CountTracks
  bool UseBaseTrack = false;    // the base track is the raw template
  std::uint8_t BaseTrack = kNoBaseTrack;
  bool KeepRaw = false;               // raw images are copied before rebuilding
  std::vector<std::string> Comments;  // UTF-8 lines
  std::vector<TTrack> Tracks;         // always kTrackCount tracks
  std::uint8_t ErrTrack = 0;          // where raw-track building last failed
  std::uint8_t ErrSector = 0;
  Diagnostic LastError;  // why the last image read or write failed
  // What a reader that succeeded wants the user to know (a creation note,
  // parts of the file left out); emptied by ClearDisk.
  std::vector<Diagnostic> Notices;
  // What the load could not hold (a track past the last cylinder, data past a
  // slot, a cut comment): every later save loses it for good, so each one
  // lists it. Emptied by ClearDisk.
  DiskLosses Losses;
  bool ShowDisabledSectors = false;
  std::shared_ptr<const DiskCapture> Capture;  // the source capture, if a reader kept one

  TTrack& GetTrack(std::uint8_t index) { return Tracks[index]; }
  const TTrack& GetTrack(std::uint8_t index) const { return Tracks[index]; }
  TSectorRec& GetSector(std::uint8_t track, std::uint8_t slot) { return Tracks[track].Sectors[slot]; }

  // Counts the present tracks, stores the count in TrackCount.
  std::uint8_t CountTracks();
  // Highest present track index + 1, or 0 for an empty disk. Positional
  // writers size their files from it so that no present track is dropped.
  int TracksToWrite() const;
  // Empties every track and the disk-wide data (see the field comments).
  void ClearDisk();

  // Builds the raw MFM byte image of a track (6256 bytes) and, when syncMap is
  // not null, its sync map (782 bytes). The caller fills output with 0x4E
  // first. On failure sets ErrTrack (and ErrSector) and returns false.
  bool BuildRawTrack(std::uint8_t track, std::uint8_t* output, std::uint8_t* syncMap);

  // Repaint requests while a long operation runs; forwarded to the observer.
  void RedrawSector(std::uint8_t track, std::uint8_t slot);
  void RedrawTrackLabel(std::uint8_t track);
  void SetObserver(DiskObserver* observer) { observer_ = observer; }
  DiskObserver* Observer() const { return observer_; }

 private:
  DiskObserver* observer_ = nullptr;
};

// Leaves a reader's or writer's failure in LastError; returns false so that
// a failing step can `return Fail(disk, {MessageId::..., {arguments}})`.
inline bool Fail(TZX_Disk& disk, Diagnostic failure) {
  disk.LastError = std::move(failure);
  return false;
}

}  // namespace velloran
