// One suite that every entry of the format table goes through: a round trip
// of what the format can hold, a full disk, an empty disk, missing, truncated
// and damaged files. A format joins by being in the table; a format whose
// layout is fixed names the disk it holds in FixtureFor.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

#include "flux/flux_disk.h"
#include "formats/format_table.h"
#include "formats/sample_disks.h"
#include "support/test_support.h"

namespace velloran {
namespace {

struct Fixture {
  // Fills the disk with `tracks` tracks of what the format holds in full.
  std::function<void(TZX_Disk&, int)> make;
  // True when loading rebuilds the disk its own way (SCL lays out a new
  // TR-DOS disk): then a second round trip must equal the first.
  bool fixpoint = false;
};

Fixture FixtureFor(const ImageFormat& format) {
  const std::string key(format.key);
  if (key == "TRD") return {test::MakeTrdosLayoutDisk};
  if (key == "PRO") return {test::MakeProLayoutDisk};
  if (key == "KDI") return {test::MakeKdiLayoutDisk};
  if (key == "SCL") return {[](TZX_Disk& disk, int) { test::MakeTrdosCatalogDisk(disk); }, true};
  const bool crcState = format.holds.crcState;
  const bool comments = format.holds.comments;
  return {[crcState, comments](TZX_Disk& disk, int tracks) {
    test::MakeMixedDisk(disk, tracks, crcState);
    if (comments) disk.Comments = {"Disk comment", "Вторая строка"};
  }};
}

// A file of the format in `dir`; a KryoFlux stream set is named by its first
// file, cylinder 0 side 0.
std::filesystem::path FormatFile(const ImageFormat& format, const std::filesystem::path& dir, const std::string& stem) {
  return dir / (stem + (format.key == "RAW" ? "00.0." : ".") + std::string(format.defaultExtension));
}

// A format that is only read gets its files from the tests' own writer.
bool SaveAs(const ImageFormat& format, TZX_Disk& disk, const std::filesystem::path& file) {
  return format.save != nullptr ? format.save(disk, file, {}) : test::WriteKryoFluxSet(disk, file);
}

class Conformance : public testing::TestWithParam<std::size_t> {
 protected:
  const ImageFormat& Format() const { return ImageFormats()[GetParam()]; }
  std::filesystem::path File(const std::string& stem = "disk") const { return FormatFile(Format(), dir_.Path(), stem); }
  bool Save(TZX_Disk& disk, const std::filesystem::path& file) const { return SaveAs(Format(), disk, file); }
  bool Load(TZX_Disk& disk, const std::filesystem::path& file) const { return Format().load(disk, file); }

  // Saves and loads back. False when the test cannot go on: a failure was
  // recorded, or the format has not landed yet (its message in notYet_).
  bool RoundTrip(TZX_Disk& disk, TZX_Disk& loaded) {
    if (!Save(disk, File())) return Failed("save", disk.LastError);
    if (!Load(loaded, File())) return Failed("load", loaded.LastError);
    return true;
  }
  bool Failed(const char* what, const Diagnostic& message) {
    if (test::NotSupportedYet(message))
      notYet_ = test::English(message);
    else
      ADD_FAILURE() << what << " failed: " << message;
    return false;
  }

  void ExpectRoundTripKeepsTheDisk(int tracks) {
    const Fixture fixture = FixtureFor(Format());
    TZX_Disk disk, loaded;
    fixture.make(disk, tracks);
    if (!RoundTrip(disk, loaded)) {
      if (!notYet_.empty()) {
        GTEST_SKIP() << notYet_;
      }
      return;
    }
    if (!fixture.fixpoint) {
      EXPECT_EQ(test::DiskDifference(disk, loaded, test::AspectsOf(Format())), "");
      return;
    }
    TZX_Disk again;
    if (!RoundTrip(loaded, again)) return;
    EXPECT_EQ(test::DiskDifference(loaded, again, test::AspectsOf(Format())), "");
  }

  test::ScratchDir dir_;
  std::string notYet_;
};

TEST_P(Conformance, RoundTripKeepsWhatTheFormatHolds) { ExpectRoundTripKeepsTheDisk(10); }

TEST_P(Conformance, FullDiskOf166TracksRoundTrips) { ExpectRoundTripKeepsTheDisk(kTrackCount); }

TEST_P(Conformance, EmptyDiskSavesAndLoadsBackEmpty) {
  TZX_Disk disk, loaded;
  if (!Save(disk, File())) {
    if (test::NotSupportedYet(disk.LastError)) {
      GTEST_SKIP() << disk.LastError;
    }
    EXPECT_FALSE(disk.LastError.Empty()) << "a refused save says why";
    return;
  }
  test::MakeKdiLayoutDisk(loaded, 3);
  ASSERT_TRUE(Load(loaded, File())) << loaded.LastError;
  if (!FixtureFor(Format()).fixpoint) {
    EXPECT_EQ(loaded.CountTracks(), 0);
  }
}

TEST_P(Conformance, MissingFileFailsWithAMessageAndLeavesTheDisk) {
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 3);
  EXPECT_FALSE(Load(disk, File("missing")));
  if (test::NotSupportedYet(disk.LastError)) {
    GTEST_SKIP() << disk.LastError;
  }
  EXPECT_FALSE(disk.LastError.Empty());
  EXPECT_EQ(disk.CountTracks(), 3);
}

TEST_P(Conformance, SaveIntoAMissingFolderFailsWithAMessage) {
  TZX_Disk disk;
  FixtureFor(Format()).make(disk, 2);
  const auto target = dir_ / "no-such-folder" / File().filename();
  EXPECT_FALSE(Save(disk, target));
  if (test::NotSupportedYet(disk.LastError)) {
    GTEST_SKIP() << disk.LastError;
  }
  EXPECT_FALSE(disk.LastError.Empty());
  EXPECT_FALSE(std::filesystem::exists(target));
}

// Cut and damaged copies of a valid file never crash a reader (the sanitizers
// watch memory), and every refusal says why.
TEST_P(Conformance, TruncatedAndDamagedFilesAreHandledSafely) {
  TZX_Disk disk;
  FixtureFor(Format()).make(disk, 4);
  if (!Save(disk, File())) {
    if (test::NotSupportedYet(disk.LastError)) {
      GTEST_SKIP() << disk.LastError;
    }
    FAIL() << disk.LastError;
  }
  const Bytes valid = test::ReadFileBytes(File());
  std::vector<Bytes> variants;
  for (std::size_t size = 0; size <= std::min<std::size_t>(valid.size(), 80); ++size)
    variants.emplace_back(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(size));
  for (const std::size_t size : {valid.size() / 4, valid.size() / 2, valid.size() - 1, valid.size() - 7})
    if (size < valid.size()) variants.emplace_back(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(size));
  std::mt19937 random(12345);
  for (int i = 0; i < 150; ++i) {
    Bytes damaged = valid;
    const int changes = 1 + static_cast<int>(random() % 8);
    for (int k = 0; k < changes && !damaged.empty(); ++k) {
      // Headers matter most: half of the changes fall into the first 64 bytes.
      const std::size_t range = (random() % 2 == 0) ? std::min<std::size_t>(64, damaged.size()) : damaged.size();
      damaged[random() % range] = static_cast<std::uint8_t>(random());
    }
    variants.push_back(std::move(damaged));
  }
  Bytes noise(3000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  variants.push_back(noise);

  TZX_Disk loaded;
  for (std::size_t i = 0; i < variants.size(); ++i) {
    test::WriteFileBytes(File("variant"), variants[i]);
    loaded.LastError = {};
    if (Load(loaded, File("variant"))) continue;
    EXPECT_FALSE(loaded.LastError.Empty()) << "variant " << i << " of " << variants[i].size() << " bytes";
  }
}

// Saved under its own name, a file is read as its format; under a name no
// format uses, it is still found when its format has a signature or fields
// only it has, and a size-only format at least claims it by its size.
TEST_P(Conformance, ContentsNameTheFormat) {
  TZX_Disk disk;
  FixtureFor(Format()).make(disk, 40);
  if (!Save(disk, File())) {
    if (test::NotSupportedYet(disk.LastError)) {
      GTEST_SKIP() << disk.LastError;
    }
    FAIL() << disk.LastError;
  }
  EXPECT_EQ(DetectFormat(File()).format, &Format());
  // A KryoFlux stream is known by the name pattern of its set.
  if (Format().key == "RAW") return;
  const auto renamed = dir_ / "disk.bin";
  std::filesystem::copy_file(File(), renamed);
  const DetectedFormat detected = DetectFormat(renamed);
  ASSERT_NE(detected.format, nullptr);
  if (detected.confidence >= Confidence::Fields) {
    EXPECT_EQ(detected.format, &Format());
  } else {
    EXPECT_EQ(detected.confidence, Confidence::SizeOrExtension);
    EXPECT_EQ(DetectionText(detected), "size");
  }
}

std::string FormatName(const testing::TestParamInfo<std::size_t>& info) {
  return std::string(ImageFormats()[info.param].key);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, Conformance, testing::Range<std::size_t>(0, ImageFormats().size()), FormatName);

// ---- no silent loss between formats ----

// Whether `sector` is found on `track` with its number, size and data.
bool Kept(const TSectorRec& sector, const TTrack& track, bool compareData) {
  const int length = std::min<int>(sector.DataLen, SizeCodeSupported(sector.IdSize) ? SectorLength(sector.IdSize) : 0);
  for (const auto& other : track.Sectors)
    if (other.Used && other.IdSector == sector.IdSector && other.IdSize == sector.IdSize &&
        (!compareData || std::equal(sector.Data.begin(), sector.Data.begin() + length, other.Data.begin())))
      return true;
  return false;
}

// The first sector (or raw image, `sector` -1) of `track` that the copy lost.
bool LostOnTrack(const TZX_Disk& original, const TZX_Disk& copy, int track, int sector, bool compareData) {
  const TTrack& a = original.GetTrack(static_cast<std::uint8_t>(track));
  const TTrack& b = copy.GetTrack(static_cast<std::uint8_t>(track));
  if (sector < 0)  // raw bytes past the copy's end that are more than gap filler
    return b.RawLength < a.RawLength && std::any_of(a.RawData.begin() + b.RawLength, a.RawData.begin() + a.RawLength,
                                                    [](std::uint8_t byte) { return byte != 0x4E; });
  for (const auto& s : a.Sectors)
    if (s.Used && s.IdSector == sector && !Kept(s, b, compareData)) return true;
  return false;
}

// The first sector of the original that the copy lost, as "track T sector R", or empty.
std::string FirstLoss(const TZX_Disk& original, const TZX_Disk& copy, bool compareData) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = original.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    for (const auto& s : track.Sectors)
      if (s.Used && !Kept(s, copy.GetTrack(static_cast<std::uint8_t>(t)), compareData))
        return "track " + std::to_string(t) + " sector " + std::to_string(s.IdSector);
  }
  return {};
}

// What a disk holds beyond its sectors' numbers and data, and where: the
// properties every save keeps or lists as lost.
struct Property {
  LossKind kind;
  int track = -1;
  int sector = -1;
};

std::vector<Property> PropertiesOf(const TZX_Disk& disk) {
  std::vector<Property> properties;
  if (!disk.Comments.empty()) properties.push_back({LossKind::Comment});
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    if (const FluxTrack* flux = HeldFlux(disk, static_cast<std::uint8_t>(t)); flux && flux->Revolutions() > 1)
      properties.push_back({LossKind::Revolutions, t});
    if (track.Fm) properties.push_back({LossKind::Encoding, t});
    if (!track.UsualRecording() && !track.Fm) properties.push_back({LossKind::DataRate, t});
    for (const auto& s : track.Sectors) {
      if (!s.Used) continue;
      if (!IdCrcGood(s)) properties.push_back({LossKind::IdCrcState, t, s.IdSector});
      if (s.DataLen == 0) properties.push_back({LossKind::NoDataField, t, s.IdSector});
      if (s.DataLen != 0 && !s.DataOk) properties.push_back({LossKind::DataCrcState, t, s.IdSector});
      if (s.DeletedMark) properties.push_back({LossKind::DeletedMark, t, s.IdSector});
    }
  }
  return properties;
}

bool Listed(const std::vector<Property>& list, const Property& p) {
  return std::any_of(list.begin(), list.end(),
                     [&](const Property& q) { return q.kind == p.kind && q.track == p.track && q.sector == p.sector; });
}

// A loss that covers the property: of its kind, at its place or for the whole disk.
bool Covered(const SaveLosses& losses, const Property& p) {
  return std::any_of(losses.begin(), losses.end(), [&](const DiskLoss& loss) {
    return loss.kind == p.kind && (loss.track < 0 || (loss.track == p.track && (loss.sector == p.sector)));
  });
}

// Track 0 captured twice round, as a flux reader keeps it.
void AddTwoRevolutions(TZX_Disk& disk) {
  FluxTrack one;
  ASSERT_TRUE(EncodeDiskTrack(disk, 0, {}, one));
  FluxTrack two;
  two.sampleClock = one.sampleClock;
  for (int r = 0; r < 2; ++r) AppendRevolution(two, one.intervals, one.indexTimes.back());
  auto capture = std::make_shared<FluxDisk>();
  capture->tracks[0] = FluxDisk::HeldTrack{std::move(two), TrackFingerprint(disk.GetTrack(0))};
  disk.Capture = std::move(capture);
}

// One of each property on the fixture's tracks 2, 3 and 5 (outside the files
// of the TR-DOS fixture): an ID CRC error, a sector without data, a bad
// sector, a deleted-data mark, a track at 300 kbit/s, an FM track, and a
// comment.
void AddProperties(TZX_Disk& disk) {
  TTrack& track = disk.GetTrack(5);
  track.Sectors[0].IdCrc ^= 0xFFFF;
  track.Sectors[2].DataOk = false;
  track.Sectors[3].DataLen = 0;
  track.Sectors[3].DataOk = false;
  track.Sectors[4].DeletedMark = true;
  disk.GetTrack(2).DataRate = 300;
  disk.GetTrack(3).Fm = true;
  disk.Comments = {"Disk comment"};
}

// Saves the disk as `to`: a save that succeeds keeps every property, a
// refused one names a loss, and a lossy one lists every property it dropped.
// Revolutions count only where flux is kept: a sector image holds what the
// flux decodes to (copies of weak sectors included), never the flux itself.
void ExpectPropertiesKeptOrListed(TZX_Disk& disk, const ImageFormat& to, const std::filesystem::path& target) {
  const std::vector<Property> before = PropertiesOf(disk);
  Diagnostic error;
  SaveLosses losses;
  TZX_Disk copy;
  if (!SaveImageAs(disk, target, to, {}, error, &losses)) {
    if (losses.empty()) return;  // failed for another reason: nothing silent
    EXPECT_TRUE(test::Contains(test::English(error), "cannot hold all")) << error;
    SaveOptions lossy;
    lossy.lossy = true;
    if (!SaveImageAs(disk, target, to, lossy, error, &losses)) return;  // cannot be written even with losses
  }
  ASSERT_TRUE(to.load(copy, target)) << copy.LastError;
  const std::vector<Property> after = PropertiesOf(copy);
  for (const Property& p : before)
    EXPECT_TRUE(Listed(after, p) || Covered(losses, p) || (p.kind == LossKind::Revolutions && !to.holds.capturedFlux))
        << "lost without a word: " << LossKindName(p.kind) << " of track " << p.track << " sector " << p.sector;
}

// The disk as a file of `format` gives it: its fixture with every property
// saved and loaded back. A TRD disk is a TR-DOS disk with data outside its
// files (which SCL cannot hold); a udf disk also carries a raw track longer
// than a built one, as a cut high-density HFE track leaves it; a flux format
// that keeps every revolution carries two of track 0.
bool DiskFromFile(const ImageFormat& format, const std::filesystem::path& file, TZX_Disk& disk) {
  TZX_Disk made;
  FixtureFor(format).make(made, 6);
  if (format.key == "TRD") {
    test::MakeTrdosCatalogDisk(made);
    for (int t = 6; t < kTrackCount; ++t) made.GetTrack(static_cast<std::uint8_t>(t)).Clear();
  }
  AddProperties(made);
  if (format.holds.revolutions) AddTwoRevolutions(made);
  if (format.key == "UDF") {
    TTrack& track = made.GetTrack(1);
    track.RawData.fill(0xA5);
    if (!made.BuildRawTrack(1, track.RawData.data(), nullptr)) return false;
    track.RawValid = true;
    track.RawLength = kRawCapacity;
  }
  return SaveAs(format, made, file) && format.load(disk, file);
}

// Saving the disk of one format in another either keeps every sector with its
// number, size and data (and every raw byte) and every property, or fails; a
// refusal lists the losses, a lossy save indeed loses the sector or raw bytes
// it names first and lists every property it dropped.
class SaveLoss : public testing::TestWithParam<std::tuple<std::size_t, std::size_t>> {
 protected:
  test::ScratchDir dir_;
};

TEST_P(SaveLoss, ASaveThatWouldLoseDataFailsAndNamesIt) {
  const ImageFormat& from = ImageFormats()[std::get<0>(GetParam())];
  const ImageFormat& to = ImageFormats()[std::get<1>(GetParam())];
  TZX_Disk disk;
  ASSERT_TRUE(DiskFromFile(from, FormatFile(from, dir_.Path(), "source"), disk)) << disk.LastError;
  const auto target = dir_ / ("target." + std::string(to.defaultExtension));
  // SCL rebuilds a TR-DOS disk from its files: sectors outside them come back empty.
  const bool compareData = to.key != "SCL";
  Diagnostic error;
  TZX_Disk copy;
  SaveLosses losses;
  if (SaveImage(disk, target, {}, error, &losses)) {
    ASSERT_TRUE(to.load(copy, target)) << copy.LastError;
    EXPECT_EQ(FirstLoss(disk, copy, compareData), "") << "saved without a word";
    for (int t = 0; t < kTrackCount; ++t)
      EXPECT_FALSE(to.holds.rawTracks && LostOnTrack(disk, copy, t, -1, true)) << "raw bytes of track " << t;
    return;
  }
  if (losses.empty()) return;  // failed for another reason: nothing silent
  EXPECT_TRUE(test::Contains(test::English(error), "cannot hold all")) << error;
  EXPECT_FALSE(std::filesystem::exists(target));

  SaveOptions lossy;
  lossy.lossy = true;
  if (!SaveImage(disk, target, lossy, error, &losses)) return;  // cannot be written even with losses
  ASSERT_TRUE(to.load(copy, target)) << copy.LastError;
  const auto named = std::find_if(losses.begin(), losses.end(), [](const DiskLoss& loss) {
    return loss.track >= 0 && (loss.kind == LossKind::SectorData || loss.kind == LossKind::RawBytes);
  });
  if (named != losses.end() && named->track < kTrackCount) {
    EXPECT_TRUE(LostOnTrack(disk, copy, named->track, named->sector, compareData)) << LossText(*named);
  }
}

TEST_P(SaveLoss, EveryPropertyIsKeptOrListed) {
  const ImageFormat& from = ImageFormats()[std::get<0>(GetParam())];
  const ImageFormat& to = ImageFormats()[std::get<1>(GetParam())];
  TZX_Disk disk;
  ASSERT_TRUE(DiskFromFile(from, FormatFile(from, dir_.Path(), "source"), disk)) << disk.LastError;
  ExpectPropertiesKeptOrListed(disk, to, dir_ / ("target." + std::string(to.defaultExtension)));
}

std::string PairName(const testing::TestParamInfo<std::tuple<std::size_t, std::size_t>>& info) {
  return std::string(ImageFormats()[std::get<0>(info.param)].key) + "_to_" +
         std::string(ImageFormats()[std::get<1>(info.param)].key);
}

INSTANTIATE_TEST_SUITE_P(EveryPair, SaveLoss,
                         testing::Combine(testing::Range<std::size_t>(0, ImageFormats().size()),
                                          testing::Range<std::size_t>(0, ImageFormats().size())),
                         PairName);

}  // namespace
}  // namespace velloran
