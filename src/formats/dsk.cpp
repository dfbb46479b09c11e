#include "formats/dsk.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/image_file.h"
#include "formats/reader_notices.h"

namespace velloran {

namespace {

// The file: a 256-byte disk header, then one block per track in the order
// cylinder 0 side 0, cylinder 0 side 1, cylinder 1 side 0, ... Each block is
// a 256-byte track header listing the sectors, then their data in that order.
constexpr std::size_t kBlockUnit = 256;
constexpr std::string_view kExtendedSignature = "EXTENDED CPC DSK File\r\nDisk-Info\r\n";
constexpr std::string_view kStandardSignature = "MV - CPCEMU Disk-File\r\nDisk-Info\r\n";
constexpr std::string_view kTrackSignature = "Track-Info\r\n";
constexpr std::string_view kCreator = "Velloran";

// Disk header fields.
constexpr std::size_t kCreatorField = 0x22;
constexpr std::size_t kCreatorLength = 14;
constexpr std::size_t kCylindersField = 0x30;
constexpr std::size_t kSidesField = 0x31;
constexpr std::size_t kTrackSizeField = 0x32;  // standard: every track block's size
constexpr std::size_t kTrackSizeTable = 0x34;  // extended: each block's size / 256
constexpr std::size_t kMaxTableEntries = kBlockUnit - kTrackSizeTable;

// Track header fields.
constexpr std::size_t kCylinderField = 0x10;
constexpr std::size_t kSideField = 0x11;
constexpr std::size_t kSizeCodeField = 0x14;
constexpr std::size_t kSectorCountField = 0x15;
constexpr std::size_t kGapField = 0x16;
constexpr std::size_t kFillerField = 0x17;
constexpr std::size_t kSectorList = 0x18;
constexpr std::size_t kSectorInfoSize = 8;  // C H R N ST1 ST2, data length (extended)
constexpr int kMaxSectorInfos = static_cast<int>((kBlockUnit - kSectorList) / kSectorInfoSize);
constexpr std::uint8_t kGap3 = 0x4E;
constexpr std::uint8_t kFiller = 0xE5;

// The floppy controller's status bits kept per sector.
constexpr std::uint8_t kSt1DataError = 0x20;        // CRC error in the ID field, or with ST2's in the data
constexpr std::uint8_t kSt1MissingMark = 0x01;      // no address mark
constexpr std::uint8_t kSt2DeletedMark = 0x40;      // a deleted-data mark
constexpr std::uint8_t kSt2DataError = 0x20;        // CRC error in the data field
constexpr std::uint8_t kSt2MissingDataMark = 0x01;  // no data field

// Only the first eight letters are sure: writers vary the rest of the line.
bool IsExtended(ByteSpan data) { return HeadStartsWith(data, kExtendedSignature.substr(0, 8)); }
bool IsStandard(ByteSpan data) { return HeadStartsWith(data, kStandardSignature.substr(0, 8)); }

// Data length of a size code as the controller reads it; codes above 7
// are longer than any track.
std::size_t NominalLength(std::uint8_t sizeCode) { return sizeCode <= 7 ? std::size_t{128} << sizeCode : 0; }

// ---- reading ----

// Puts one listed sector into a slot: its ID, its CRC state from ST1/ST2 and
// the first copy of its data.
void PlaceSector(TZX_Disk& disk, TSectorRec& sector, const std::uint8_t* info, ByteSpan data, bool extended,
                 int index) {
  const std::uint8_t st1 = info[4];
  const std::uint8_t st2 = info[5];
  SetIdField(sector, info[0], info[1], info[2], info[3]);
  // A CRC error without one in the data field was in the ID field.
  if ((st1 & kSt1DataError) != 0 && (st2 & kSt2DataError) == 0) sector.IdCrc ^= 0xFFFF;
  sector.DeletedMark = (st2 & kSt2DeletedMark) != 0;
  if (data.empty() || (st2 & kSt2MissingDataMark) != 0) return;

  // Copies of a sector that read differently each time follow each other.
  const std::size_t nominal = NominalLength(sector.IdSize);
  ByteSpan further;
  if (extended && nominal > 0 && nominal <= kSectorDataSize && data.size() > nominal && data.size() % nominal == 0) {
    const std::size_t copies = data.size() / nominal;
    if (copies > kMaxSectorCopies)
      CarryLoss(
          disk, "DSK",
          {LossKind::Copies, index, sector.IdSector, {MessageId::LossCopiesBeyondSlot, {copies, kMaxSectorCopies}}});
    further = data.subspan(nominal, nominal * (std::min<std::size_t>(copies, kMaxSectorCopies) - 1));
    data = data.first(nominal);
  }
  if (data.size() > kSectorDataSize) {
    NoteDataCut(disk, "DSK", index, sector.IdSector, data.size());
    data = data.first(kSectorDataSize);
  }
  std::copy(data.begin(), data.end(), sector.Data.begin());
  sector.DataLen = static_cast<std::uint16_t>(data.size());
  sector.DataOk = (st2 & kSt2DataError) == 0;
  // Equal copies stay too: the file is kept as it is.
  for (std::size_t at = 0; at < further.size(); at += nominal)
    sector.ExtraCopies.push_back({sector.DataOk, Bytes(further.begin() + at, further.begin() + at + nominal)});
}

// Reads one track block into a track. Returns what is wrong, if anything.
std::optional<MessageId> ReadTrackBlock(TZX_Disk& disk, ByteSpan block, bool extended, int index, TTrack& track) {
  if (block.size() < kBlockUnit || !HeadStartsWith(block, kTrackSignature.substr(0, 10)))
    return MessageId::TrackHeaderError;
  const int count = block[kSectorCountField];
  if (count > kMaxSectorInfos) return MessageId::TrackHeaderError;
  track.Present = true;
  std::size_t position = kBlockUnit;
  for (int s = 0; s < count; ++s) {
    const std::uint8_t* info = &block[kSectorList + kSectorInfoSize * static_cast<std::size_t>(s)];
    std::size_t length = extended ? ReadLe16(info + 6) : NominalLength(block[kSizeCodeField]);
    // The original variant's fixed track size may be too small for a long
    // sector: what is there is taken, as a sector read with an error. The
    // extended one lists true sizes.
    const bool cut = position + length > block.size();
    if (cut && extended) return MessageId::FileLengthError;
    if (cut) length = block.size() - position;
    const ByteSpan data = block.subspan(position, length);
    position += length;
    if (s >= kSlotCount) continue;
    PlaceSector(disk, track.Sectors[s], info, data, extended, index);
    if (cut) track.Sectors[s].DataOk = false;
  }
  if (count > kSlotCount) NoteTooManySectors(disk, "DSK", index, static_cast<std::size_t>(count));
  return std::nullopt;
}

// ---- writing ----

// The status bytes of a sector: a missing data field, a data CRC error, an
// ID CRC error.
std::pair<std::uint8_t, std::uint8_t> StatusOf(const TSectorRec& sector) {
  std::uint8_t st1 = 0;
  std::uint8_t st2 = 0;
  if (sector.DataLen == 0) {
    st1 |= kSt1MissingMark;
    st2 |= kSt2MissingDataMark;
  } else if (!sector.DataOk) {
    st1 |= kSt1DataError;
    st2 |= kSt2DataError;
  }
  if (!IdCrcGood(sector)) st1 |= kSt1DataError;
  if (sector.DeletedMark) st2 |= kSt2DeletedMark;
  return {st1, st2};
}

// Whether the extended variant can hold a further copy of a sector: a whole
// sector, with the CRC state of the first copy (one status per sector).
bool CopyFits(const TSectorRec& sector, const DataCopy& copy) {
  return sector.DataLen == NominalLength(sector.IdSize) && copy.data.size() == sector.DataLen &&
         copy.ok == sector.DataOk;
}

// The further copies the extended variant writes, as long as each fits.
std::span<const DataCopy> HeldCopies(const TSectorRec& sector) {
  const auto misfit = std::find_if(sector.ExtraCopies.begin(), sector.ExtraCopies.end(),
                                   [&](const DataCopy& copy) { return !CopyFits(sector, copy); });
  return {sector.ExtraCopies.begin(), misfit};
}

std::vector<const TSectorRec*> UsedSectors(const TTrack& track) {
  std::vector<const TSectorRec*> sectors;
  for (const auto& sector : track.Sectors)
    if (sector.Used) sectors.push_back(&sector);
  return sectors;
}

// The block of one track; the standard variant pads it to `blockSize`.
Bytes TrackBlock(const TTrack& track, int cylinder, int side, bool extended, std::size_t blockSize) {
  const auto sectors = UsedSectors(track);
  Bytes block(kBlockUnit, 0);
  std::copy(kTrackSignature.begin(), kTrackSignature.end(), block.begin());
  block[kCylinderField] = static_cast<std::uint8_t>(cylinder);
  block[kSideField] = static_cast<std::uint8_t>(side);
  block[kSizeCodeField] = sectors.empty() ? 2 : sectors.front()->IdSize;
  block[kSectorCountField] = static_cast<std::uint8_t>(sectors.size());
  block[kGapField] = kGap3;
  block[kFillerField] = kFiller;
  for (std::size_t s = 0; s < sectors.size(); ++s) {
    const TSectorRec& sector = *sectors[s];
    std::uint8_t* info = &block[kSectorList + kSectorInfoSize * s];
    const auto [st1, st2] = StatusOf(sector);
    info[0] = sector.IdTrack;
    info[1] = sector.IdSide;
    info[2] = sector.IdSector;
    info[3] = sector.IdSize;
    info[4] = st1;
    info[5] = st2;
    if (extended) {
      // The copies of a weak sector follow its data; the length counts them all.
      const std::span<const DataCopy> copies = HeldCopies(sector);
      WriteLe16(info + 6, static_cast<std::uint16_t>(sector.DataLen * (1 + copies.size())));
      block.insert(block.end(), sector.Data.begin(), sector.Data.begin() + sector.DataLen);
      for (const DataCopy& copy : copies) block.insert(block.end(), copy.data.begin(), copy.data.end());
    } else {
      // A sector without data still has its place in a fixed-size track.
      const std::size_t nominal = NominalLength(sector.IdSize);
      const std::size_t stored = block.size();
      block.resize(stored + nominal, 0);
      std::copy_n(sector.Data.begin(), std::min<std::size_t>(sector.DataLen, nominal), block.begin() + stored);
    }
  }
  const std::size_t size = extended ? (block.size() + kBlockUnit - 1) / kBlockUnit * kBlockUnit : blockSize;
  block.resize(size, 0);
  return block;
}

// Why the original variant cannot hold a track, or empty: all its sectors
// must have the size of the track's size code and all their data.
Phrase StandardMisfit(const TTrack& track, int index) {
  const auto sectors = UsedSectors(track);
  for (const TSectorRec* sector : sectors) {
    const std::size_t nominal = NominalLength(sector->IdSize);
    if (!sector->ExtraCopies.empty())
      return {MessageId::DskMisfitCopies, {index, sector->IdSector, sector->ExtraCopies.size() + 1}};
    if (sector->IdSize != sectors.front()->IdSize) return {MessageId::DskMisfitSizes, {index}};
    if (nominal > kSectorDataSize || (sector->DataLen != 0 && sector->DataLen != nominal))
      return {MessageId::DskMisfitLength, {index, sector->IdSector, sector->DataLen, nominal}};
  }
  return {};
}

std::size_t StandardBlockSize(const TTrack& track) {
  std::size_t size = kBlockUnit;
  for (const TSectorRec* sector : UsedSectors(track)) size += NominalLength(sector->IdSize);
  return size;
}

}  // namespace

// "EXTENDED" or "MV - CPC" at the start.
Confidence ProbeDSK(const ProbeInput& input) {
  return IsExtended(input.head) || IsStandard(input.head) ? Confidence::Signature : Confidence::None;
}

bool LoadDSK(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  if (!ReadImageFile(disk, file, data)) return false;
  return LoadDSKFromBytes(disk, data);
}

// Checks the disk header, then reads the track blocks into model tracks
// cylinder × 2 + side. The tracks read before a failure stay loaded.
bool LoadDSKFromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  const bool extended = IsExtended(data);
  if (data.size() < kBlockUnit || (!extended && !IsStandard(data)))
    return Fail(disk, {MessageId::NotOfFormat, {"DSK"}});
  const int cylinders = data[kCylindersField];
  const int sides = data[kSidesField];
  const std::size_t tracks = static_cast<std::size_t>(cylinders) * static_cast<std::size_t>(sides);
  if (sides < 1 || sides > 2 || (extended && tracks > kMaxTableEntries))
    return Fail(disk, {MessageId::FileHeaderError, {"DSK"}});

  TracksBeyondDisk beyond("DSK");
  TTrack scratch;  // where a track beyond the disk is looked at
  std::size_t position = kBlockUnit;
  for (std::size_t i = 0; i < tracks; ++i) {
    const int cylinder = static_cast<int>(i) / sides;
    const int side = static_cast<int>(i) % sides;
    const int index = cylinder * 2 + side;
    const std::size_t size = extended ? data[kTrackSizeTable + i] * kBlockUnit : ReadLe16(&data[kTrackSizeField]);
    if (position + size > data.size()) return Fail(disk, {MessageId::FileLengthError, {"DSK"}});
    const ByteSpan block = data.subspan(position, size);
    position += size;
    // A block of size 0 is a track that was never formatted.
    if (size == 0) continue;
    const bool onDisk = index < kTrackCount;
    if (!onDisk) scratch.Clear();
    TTrack& track = onDisk ? disk.GetTrack(static_cast<std::uint8_t>(index)) : scratch;
    if (const auto error = ReadTrackBlock(disk, block, extended, index, track)) return Fail(disk, {*error, {"DSK"}});
    if (!onDisk) beyond.Drop(disk, cylinder, side, track.CountSectors());
  }
  beyond.Report(disk);
  return true;
}

bool SaveDSK(TZX_Disk& disk, const std::filesystem::path& file, DskVariant variant) {
  Bytes out;
  return SaveDSKToBytes(disk, out, variant) && WriteImageFile(disk, file, out);
}

// The disk header, then a block for every track of every cylinder up to the
// highest present track. An absent track is a block of size 0 in the
// extended variant and a track without sectors in the original one.
bool SaveDSKToBytes(TZX_Disk& disk, Bytes& out, DskVariant variant) {
  out.clear();
  const bool extended = variant == DskVariant::Extended;
  const int count = disk.TracksToWrite();
  const int sides = SidesToWrite(disk);
  const int cylinders = (count + 1) / 2;

  std::size_t standardSize = kBlockUnit;
  if (!extended) {
    for (int t = 0; t < count; ++t) {
      const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
      if (!track.Present) continue;
      if (Phrase misfit = StandardMisfit(track, t); !misfit.Empty())
        return Fail(disk, {MessageId::DskStandardMisfit, {std::move(misfit)}});
      standardSize = std::max(standardSize, StandardBlockSize(track));
    }
    if (standardSize > 0xFFFF) return Fail(disk, MessageId::DskStandardTracksTooLong);
  }

  Bytes file(kBlockUnit, 0);
  const std::string_view signature = extended ? kExtendedSignature : kStandardSignature;
  std::copy(signature.begin(), signature.end(), file.begin());
  std::copy(kCreator.begin(), kCreator.end(), file.begin() + kCreatorField);
  static_assert(kCreator.size() <= kCreatorLength);
  file[kCylindersField] = static_cast<std::uint8_t>(cylinders);
  file[kSidesField] = static_cast<std::uint8_t>(sides);
  if (!extended) WriteLe16(&file[kTrackSizeField], static_cast<std::uint16_t>(standardSize));

  std::size_t entry = 0;
  for (int cylinder = 0; cylinder < cylinders; ++cylinder) {
    for (int side = 0; side < sides; ++side, ++entry) {
      const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(cylinder * 2 + side));
      if (extended && !track.Present) continue;
      const Bytes block = TrackBlock(track, cylinder, side, extended, standardSize);
      // The size table holds a byte per track: a track of many weak copies may not fit.
      if (extended && block.size() / kBlockUnit > 0xFF)
        return Fail(disk, {MessageId::DskTrackTooLong, {cylinder * 2 + side, block.size()}});
      if (extended) file[kTrackSizeTable + entry] = static_cast<std::uint8_t>(block.size() / kBlockUnit);
      file.insert(file.end(), block.begin(), block.end());
    }
  }
  out = std::move(file);
  return true;
}

SaveLosses SaveLossesDSK(const TZX_Disk& disk, std::string_view format) {
  SaveLosses losses;
  // The status bytes tell an ID CRC error apart only while the data is good.
  for (int t = 0; t < kTrackCount; ++t)
    for (const auto& sector : disk.GetTrack(static_cast<std::uint8_t>(t)).Sectors)
      if (sector.Used && sector.DataLen != 0 && !sector.DataOk && !IdCrcGood(sector))
        losses.push_back({LossKind::IdCrcState, t, sector.IdSector, {MessageId::LossIdCrcWithDataCrc, {format}}});
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    for (const TSectorRec& sector : track.Sectors) {
      const std::size_t dropped = sector.ExtraCopies.size() - HeldCopies(sector).size();
      if (sector.Used && dropped > 0)
        losses.push_back({LossKind::Copies, t, sector.IdSector, {MessageId::LossCopiesNotHeld, {dropped}}});
    }
  }
  return losses;
}

}  // namespace velloran
