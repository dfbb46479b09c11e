// Building the raw MFM byte image of one track from its sector slots.
//
// The layout comes from one of three templates: the track's own raw image,
// the raw image of the disk's base track, or the fixed standard layout; an
// absent track with no base template becomes plain filler.
#include "model/raw_track.h"

#include <algorithm>
#include <array>

#include "model/disk.h"

namespace velloran {

namespace {

constexpr std::uint8_t kGapByte = 0x4E;
constexpr std::uint8_t kSyncA1 = 0xA1;
constexpr std::uint8_t kSyncC2 = 0xC2;
constexpr std::uint8_t kIndexMark = 0xFC;
// Replaces the first A1 of a bad sector's data mark in a rebuilt raw image.
constexpr std::uint8_t kBadSectorMarker = 0x14;
constexpr int kSyncRun = 12;  // zero bytes in front of every mark

// Standard layout, in bytes: index part, a sector without its data, gaps.
constexpr int kIndexPartLength = 146;
constexpr int kSectorOverhead = 116;
constexpr int kGapBeforeIndex = 80;
constexpr int kGap1 = 50;
constexpr int kGap2 = 22;
constexpr int kGap3 = 54;
constexpr int kGap1CutForLargeExcess = 25;
constexpr int kLargeExcess = 50;
constexpr int kMaxGap3Cut = 36;

// Data fields must start before this position to fit with their CRC ...
constexpr int kDataFieldLimit = 6240;
// ... a bad last sector that does not fit is cut to end here.
constexpr int kCutFieldEnd = 6246;

// The track being built and its sync marks. Bytes that would fall past the
// end of the track are dropped.
class TrackImage {
 public:
  explicit TrackImage(std::uint8_t* bytes) : bytes_(bytes) {}

  void Put(int pos, std::uint8_t value) {
    if (pos >= 0 && pos < kRawTrackLength) bytes_[pos] = value;
  }
  // A byte written with a missing clock bit.
  void PutSync(int pos, std::uint8_t value) {
    if (pos < 0 || pos >= kRawTrackLength) return;
    bytes_[pos] = value;
    sync_[pos / 8] = static_cast<std::uint8_t>(sync_[pos / 8] | (1 << (pos % 8)));
  }
  void Fill(int pos, int count, std::uint8_t value) {
    const Span span = Clip(pos, count);
    std::fill_n(bytes_ + span.first, span.count, value);
  }
  void Copy(int pos, const std::uint8_t* data, int count) {
    const Span span = Clip(pos, count);
    if (span.count > 0) std::copy_n(data + (span.first - pos), span.count, bytes_ + span.first);
  }
  // CRCs are stored high byte first, as on the disk.
  void PutCrc(int pos, std::uint16_t crc) {
    Put(pos, static_cast<std::uint8_t>(crc >> 8));
    Put(pos + 1, static_cast<std::uint8_t>(crc));
  }
  void StoreSyncMap(std::uint8_t* syncMap) const {
    if (syncMap != nullptr) std::copy(sync_.begin(), sync_.end(), syncMap);
  }

 private:
  // The part of pos..pos+count-1 that lies on the track.
  struct Span {
    int first;
    int count;
  };
  static Span Clip(int pos, int count) {
    const int first = std::clamp(pos, 0, kRawTrackLength);
    const int end = std::clamp(pos + count, first, kRawTrackLength);
    return {first, end - first};
  }

  std::uint8_t* bytes_;
  std::array<std::uint8_t, kSyncMapLength> sync_{};
};

// A data field the way its CRC covers it: A1 A1 A1, the mark, the data. The
// data is `length` zero bytes over which the sector's Data is laid.
class DataField {
 public:
  DataField(std::uint8_t mark, const TSectorRec& sector, int length) : length_(std::clamp(length, 0, kSectorDataSize)) {
    bytes_[0] = bytes_[1] = bytes_[2] = kSyncA1;
    bytes_[3] = mark;
    const int known = std::min<int>({sector.DataLen, length_, kSectorDataSize});
    std::copy_n(sector.Data.begin(), known, bytes_.begin() + 4);
    std::fill_n(bytes_.begin() + 4 + known, length_ - known, std::uint8_t{0});
  }
  const std::uint8_t* Data() const { return bytes_.data() + 4; }
  int Length() const { return length_; }
  // The data CRC; inverted for a sector that must read back as bad.
  std::uint16_t Crc(bool good) const {
    const std::uint16_t crc = CalcCRC16(bytes_.data(), static_cast<std::size_t>(4 + length_));
    return good ? crc : static_cast<std::uint16_t>(~crc);
  }

 private:
  std::array<std::uint8_t, 4 + kSectorDataSize> bytes_;  // only 4 + length_ bytes are set
  int length_;
};

// The used slots of a track in slot order. Empty slots in between are not
// sectors: they are passed over, so a sector added to a later slot still
// counts.
struct SlotList {
  std::array<std::uint8_t, kSlotCount> slot{};
  int count = 0;
};

SlotList UsedSlots(TTrack& track) {
  track.CountSectors();
  SlotList list;
  for (int i = 0; i < kSlotCount; ++i)
    if (track.Sectors[i].Used) list.slot[list.count++] = static_cast<std::uint8_t>(i);
  return list;
}

// Writes three sync bytes at pos..pos+2 and the mark byte after them, with
// the zero run in front of them.
void WriteMark(TrackImage& image, int pos, std::uint8_t sync, std::uint8_t mark, int zeros) {
  image.Fill(pos - zeros, zeros, 0x00);
  for (int i = 0; i < 3; ++i) image.PutSync(pos + i, sync);
  image.Put(pos + 3, mark);
}

// Writes C H R N of the sector and its ID CRC as the slot holds it (a wrong
// one stays wrong) from pos on.
void WriteIdField(TrackImage& image, int pos, const TSectorRec& sector) {
  image.Put(pos, sector.IdTrack);
  image.Put(pos + 1, sector.IdSide);
  image.Put(pos + 2, sector.IdSector);
  image.Put(pos + 3, sector.IdSize);
  image.PutCrc(pos + 4, sector.IdCrc);
}

std::uint8_t DataMarkOf(const TSectorRec& sector) { return sector.DeletedMark ? kDeletedDataMark : kDataMark; }

// Bytes of the data field of a size code; a code beyond the model stands for
// a field longer than any track.
int FieldLength(std::uint8_t sizeCode) {
  return SizeCodeSupported(sizeCode) ? SectorLength(sizeCode) : kRawTrackLength;
}

// Only the last sector may run over the end of the track, and only when it
// does not read back good anyway: it is bad, or longer than any track.
bool MayRunOver(const TSectorRec& sector, bool last) {
  return last && (!sector.DataOk || !SizeCodeSupported(sector.IdSize));
}

// Places the sectors on the layout of an existing raw image: the marks are
// looked up in `source`, the fields come from the track's slots.
class TemplateBuilder {
 public:
  // A base-track template keeps more room in front of ID marks and writes a
  // cut data field where the track's own image keeps the old bytes.
  enum class Kind { OwnImage, BaseTrack };

  TemplateBuilder(TTrack& track, const std::uint8_t* source, Kind kind, TrackImage& image)
      : track_(track), source_(source), kind_(kind), image_(image) {}

  // Returns false on failure; failedSlot is then the slot concerned or -1.
  bool Build(int& failedSlot) {
    failedSlot = -1;
    if (!PlaceIndexMark()) return false;
    const SlotList slots = UsedSlots(track_);
    for (int i = 0; i < slots.count; ++i) {
      if (!PlaceSector(slots.slot[i], i == slots.count - 1)) {
        failedSlot = slots.slot[i];
        return false;
      }
    }
    return true;
  }

 private:
  static constexpr int kNotFound = -1;

  // Position of the next a, b, (c1 or c2) in the source, from where the
  // previous search stopped; the search covers positions 0..6255.
  int Find(std::uint8_t a, std::uint8_t b, std::uint8_t c1, std::uint8_t c2) {
    for (int p = next_; p < kRawTrackLength; ++p) {
      if (source_[p] == a && source_[p + 1] == b && (source_[p + 2] == c1 || source_[p + 2] == c2)) {
        next_ = p + 1;
        return p;
      }
    }
    next_ = kRawTrackLength;
    return kNotFound;
  }

  // The index mark C2 C2 C2 FC; a track without one is scanned from its start.
  bool PlaceIndexMark() {
    const int p = Find(kSyncC2, kSyncC2, kIndexMark, kIndexMark);
    if (p == kNotFound) {
      next_ = 0;
      end_ = 0;
      return true;
    }
    if (p < 15) return false;
    WriteMark(image_, p - 1, kSyncC2, kIndexMark, kSyncRun);
    end_ = p + 2;
    return true;
  }

  bool PlaceSector(std::uint8_t slot, bool last) {
    const TSectorRec& sector = track_.Sectors[slot];

    // ID field.
    int p = Find(kSyncA1, kSyncA1, kIdMark, kIdMark);
    if (p == kNotFound) return false;
    const int minIdGap = kind_ == Kind::OwnImage ? 5 : 15;
    if (p - end_ < minIdGap) return false;
    // The zero run never reaches back into the previous field.
    WriteMark(image_, p - 1, kSyncA1, kIdMark, std::min(kSyncRun, p - end_ - 2));
    WriteIdField(image_, p + 3, sector);
    end_ = p + 8;

    // Data field.
    p = Find(kSyncA1, kSyncA1, kDataMark, kDeletedDataMark);
    if (p == kNotFound || p - end_ < 15) return false;
    // The track's own image keeps a deleted-data mark its reader did not note.
    const bool ownDeleted = kind_ == Kind::OwnImage && source_[p + 2] == kDeletedDataMark;
    const std::uint8_t mark = ownDeleted ? kDeletedDataMark : DataMarkOf(sector);
    WriteMark(image_, p - 1, kSyncA1, mark, kSyncRun);
    const int length = FieldLength(sector.IdSize);
    const bool good = sector.DataOk;

    if (p + length < kDataFieldLimit) {
      const DataField field(mark, sector, length);
      image_.Copy(p + 3, field.Data(), length);
      image_.PutCrc(p + 3 + length, field.Crc(good));
      end_ = p + 4 + length;
      if (!good) image_.Put(p - 1, kBadSectorMarker);
      return true;
    }
    if (!MayRunOver(sector, last)) return false;
    if (kind_ == Kind::BaseTrack) {
      const DataField field(mark, sector, kCutFieldEnd - p);
      image_.Copy(p + 3, field.Data(), field.Length());
      end_ = p + 3 + field.Length();
    }
    return true;
  }

  TTrack& track_;
  const std::uint8_t* source_;  // 6500 bytes; the search reads up to 6257
  Kind kind_;
  TrackImage& image_;
  int next_ = 0;  // where the search for the next mark starts
  int end_ = 0;   // last position of the previous field
};

// Builds a track on the fixed standard layout, shortening the gaps to fit.
bool BuildStandardTrack(TTrack& track, TrackImage& image, int& failedSlot) {
  failedSlot = -1;
  const SlotList slots = UsedSlots(track);
  int dataBytes = 0;
  for (int i = 0; i < slots.count; ++i) {
    // A field longer than any track runs to the track's end whatever the gaps.
    const TSectorRec& sector = track.Sectors[slots.slot[i]];
    if (SizeCodeSupported(sector.IdSize)) dataBytes += SectorLength(sector.IdSize);
  }
  const auto cuts = StandardGapCuts(slots.count, dataBytes);
  if (!cuts) return false;

  image.Fill(0, kRawTrackLength, kGapByte);
  int q = 0;
  image.Fill(q, kGapBeforeIndex - cuts->gap1, kGapByte);
  q += kGapBeforeIndex - cuts->gap1;
  WriteMark(image, q + kSyncRun, kSyncC2, kIndexMark, kSyncRun);
  q += kSyncRun + 4;
  image.Fill(q, kGap1 - cuts->gap1, kGapByte);
  q += kGap1 - cuts->gap1;

  for (int i = 0; i < slots.count; ++i) {
    const TSectorRec& sector = track.Sectors[slots.slot[i]];
    WriteMark(image, q + kSyncRun, kSyncA1, kIdMark, kSyncRun);
    q += kSyncRun + 4;
    WriteIdField(image, q, sector);
    q += 6;
    image.Fill(q, kGap2, kGapByte);
    q += kGap2;
    const std::uint8_t mark = DataMarkOf(sector);
    WriteMark(image, q + kSyncRun, kSyncA1, mark, kSyncRun);
    q += kSyncRun + 4;

    const int length = FieldLength(sector.IdSize);
    const bool good = sector.DataOk;
    if (q + length > kDataFieldLimit - 1) {
      if (!MayRunOver(sector, i == slots.count - 1)) {
        failedSlot = slots.slot[i];
        return false;
      }
      const DataField field(mark, sector, kCutFieldEnd - q);
      image.Copy(q, field.Data(), field.Length());
      q += field.Length();
    } else {
      const DataField field(mark, sector, length);
      image.Copy(q, field.Data(), length);
      image.PutCrc(q + length, field.Crc(good));
      q += length + 2;
    }
    image.Fill(q, kGap3 - cuts->gap3, kGapByte);
    q += kGap3 - cuts->gap3;
  }
  return true;
}

}  // namespace

int RoundHalfEven(int num, int den) {
  const int quotient = num / den;
  const int twiceRest = 2 * (num % den);
  if (twiceRest > den || (twiceRest == den && quotient % 2 != 0)) return quotient + 1;
  return quotient;
}

std::optional<GapCuts> StandardGapCuts(int sectorCount, int dataBytes) {
  const int needed = kIndexPartLength + dataBytes + sectorCount * kSectorOverhead;
  if (needed <= kRawTrackLength) return GapCuts{};
  const int excess = needed - kRawTrackLength;
  if (excess < kLargeExcess) return GapCuts{RoundHalfEven(excess, 2) + 2, 0};
  const int gap3 = RoundHalfEven(excess - kLargeExcess, sectorCount);
  if (gap3 > kMaxGap3Cut) return std::nullopt;
  return GapCuts{kGap1CutForLargeExcess, gap3};
}

// Builds the raw image of one track and its sync map on the first template
// that applies (see the top of this file). On failure records the track, and
// the slot when one is concerned, in ErrTrack/ErrSector.
bool TZX_Disk::BuildRawTrack(std::uint8_t trackIndex, std::uint8_t* output, std::uint8_t* syncMap) {
  if (trackIndex >= kTrackCount) {
    ErrTrack = trackIndex;
    return false;
  }
  TTrack& track = Tracks[trackIndex];
  TrackImage image(output);
  int failedSlot = -1;
  bool built = true;
  if (track.RawValid && track.RawLength > 0) {
    if (KeepRaw) image.Copy(0, track.RawData.data(), kRawTrackLength);
    TemplateBuilder builder(track, track.RawData.data(), TemplateBuilder::Kind::OwnImage, image);
    built = builder.Build(failedSlot);
  } else if (UseBaseTrack && BaseTrack <= 160 && Tracks[BaseTrack].RawLength > 0) {
    TemplateBuilder builder(track, Tracks[BaseTrack].RawData.data(), TemplateBuilder::Kind::BaseTrack, image);
    built = builder.Build(failedSlot);
  } else if (track.Present) {
    built = BuildStandardTrack(track, image, failedSlot);
  } else {
    image.Fill(0, kRawTrackLength, kGapByte);
  }
  if (!built) {
    ErrTrack = trackIndex;
    if (failedSlot >= 0) ErrSector = static_cast<std::uint8_t>(failedSlot);
    return false;
  }
  image.StoreSyncMap(syncMap);
  return true;
}

}  // namespace velloran
