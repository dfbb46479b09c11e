#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "common/utf8_path.h"
#include "formats/sample_disks.h"
#include "formats/udf.h"
#include "formats/udi.h"
#include "support/test_support.h"

namespace velloran {
namespace {

constexpr std::size_t kEmptyDiskSize = 260 + 166 * 21 + 4 + 4;

// Every field of the model that the file keeps, or the first difference.
std::string ModelDifference(const TZX_Disk& a, const TZX_Disk& b) {
  if (a.Title != b.Title) return "title";
  if (a.Comments != b.Comments) return "comments";
  if (a.UseBaseTrack != b.UseBaseTrack || a.BaseTrack != b.BaseTrack || a.KeepRaw != b.KeepRaw)
    return "base track or raw flags";
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& x = a.Tracks[t];
    const TTrack& y = b.Tracks[t];
    const std::string where = "track " + std::to_string(t) + ": ";
    if (x.Present != y.Present) return where + "present";
    if (x.Present && (x.TrackNum != y.TrackNum || x.SectorCount != y.SectorCount || x.RawValid != y.RawValid ||
                      x.RawLength != y.RawLength || x.Log != y.Log || x.DataRate != y.DataRate || x.Fm != y.Fm ||
                      !std::equal(x.RawData.begin(), x.RawData.begin() + x.RawLength, y.RawData.begin())))
      return where + "track fields";
    for (int s = 0; s < kSlotCount; ++s) {
      const TSectorRec& p = x.Sectors[s];
      const TSectorRec& q = y.Sectors[s];
      if (p.Used != q.Used) return where + "used " + std::to_string(s);
      if (!p.Used) continue;
      if (p.IdTrack != q.IdTrack || p.IdSide != q.IdSide || p.IdSector != q.IdSector || p.IdSize != q.IdSize ||
          p.IdCrc != q.IdCrc || p.ErrorCount != q.ErrorCount || p.DataOk != q.DataOk || p.DataPos != q.DataPos ||
          p.DataLen != q.DataLen || !std::equal(p.Data.begin(), p.Data.begin() + p.DataLen, q.Data.begin()) ||
          p.ExtraCopies != q.ExtraCopies || p.DeletedMark != q.DeletedMark)
        return where + "slot " + std::to_string(s);
    }
  }
  return "";
}

class UdfTest : public ::testing::Test {
 protected:
  std::unique_ptr<TZX_Disk> disk = std::make_unique<TZX_Disk>();
  std::unique_ptr<TZX_Disk> loaded = std::make_unique<TZX_Disk>();

  Bytes Save() {
    Bytes out;
    EXPECT_TRUE(SaveUDFToBytes(*disk, out));
    return out;
  }
  std::string LoadError(const Bytes& file) {
    EXPECT_FALSE(LoadUDFFromBytes(*loaded, file));
    return test::English(loaded->LastError);
  }
  // A disk that uses every field the file holds.
  void MakeRichDisk() {
    test::MakeMixedDisk(*disk, 8, true);
    // Tracks 0..7 get raw images, as if loaded from a UDI file.
    Bytes udi;
    ASSERT_TRUE(SaveUDIToBytes(*disk, udi));
    ASSERT_TRUE(LoadUDIFromBytes(*disk, udi));
    test::PutSector(*disk, 20, 0, 10, 0, 1, 1);
    test::PutSector(*disk, 20, 3, 10, 0, 4, 2, false);
    disk->GetSector(20, 3).ErrorCount = 7;
    disk->GetSector(20, 3).DataLen = 0;  // header without data
    disk->GetTrack(20).SectorCount = 2;
    disk->GetTrack(20).Log = {"Ошибка чтения сектора 4", "", "second line"};
    disk->GetTrack(3).Log = {"UDI"};
    disk->GetTrack(4).DataRate = 300;
    disk->GetTrack(5).Fm = true;
    disk->GetSector(6, 1).DeletedMark = true;
    disk->Title = "Диск для проверки";
    disk->Comments = {"Комментарий", "line 2"};
    disk->UseBaseTrack = true;
    disk->BaseTrack = 2;
    disk->KeepRaw = true;
  }
};

TEST_F(UdfTest, EmptyDiskLayout) {
  const Bytes file = Save();
  ASSERT_EQ(file.size(), kEmptyDiskSize);
  EXPECT_TRUE(std::all_of(file.begin(), file.begin() + 257, [](auto b) { return b == 0; }));
  EXPECT_EQ(file[257], 0xFF);  // no base track in use
  EXPECT_EQ(file[258], 255);
  EXPECT_EQ(file[259], 0xFF);  // KeepRaw off
  EXPECT_TRUE(std::all_of(file.begin() + 260, file.begin() + 260 + 166 * 21, [](auto b) { return b == 0xFF; }));
  EXPECT_EQ(ReadLe32(&file[260 + 166 * 21]), 0u);
  EXPECT_EQ(ReadLe32(&file[file.size() - 4]), CalcCRC32(file.data(), file.size() - 4));
  disk->KeepRaw = true;
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, Save()));
  EXPECT_TRUE(loaded->KeepRaw);
  EXPECT_EQ(loaded->CountTracks(), 0);
}

TEST_F(UdfTest, TitleIsWindows1251AndAtMost255Bytes) {
  disk->Title = "Диск";
  Bytes file = Save();
  EXPECT_EQ(file[0], 0xC4);
  EXPECT_EQ(file[3], 0xEA);
  EXPECT_EQ(file[4], 0x00);
  disk->Title = std::string(255, 'T');
  file = Save();
  EXPECT_EQ(file[254], 'T');
  EXPECT_EQ(file[255], 0x00);
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, file));
  EXPECT_EQ(loaded->Title, disk->Title);
  disk->Title = std::string(300, 'x');  // cut to what the field holds
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, Save()));
  EXPECT_EQ(loaded->Title, std::string(255, 'x'));
}

TEST_F(UdfTest, TrackBlockLayout) {
  test::PutSector(*disk, 0, 0, 0, 0, 1, 0);
  disk->GetTrack(0).SectorCount = 1;
  disk->GetTrack(0).Log = {"Ошибка"};
  disk->GetSector(0, 0).DataPos = 0x1234;
  const Bytes file = Save();
  const std::uint8_t* p = &file[260];
  EXPECT_EQ(file[256], 1);  // one present track
  EXPECT_EQ(p[0], 1);       // present
  EXPECT_EQ(p[1], 0);       // TrackNum
  EXPECT_EQ(p[2], 1);       // SectorCount
  EXPECT_EQ(p[3], 0xFF);    // no raw image
  EXPECT_EQ(ReadLe16(p + 4), 0);
  EXPECT_EQ(ReadLe32(p + 6), 8u);
  const Bytes log = {0xCE, 0xF8, 0xE8, 0xE1, 0xEA, 0xE0, 0x0D, 0x0A};
  EXPECT_TRUE(std::equal(log.begin(), log.end(), p + 10));
  const std::uint8_t* slot = p + 18;
  const std::uint16_t crc = IdFieldCrc(0, 0, 1, 0);
  const Bytes head = {1, 0,    0,    1,    0,   static_cast<std::uint8_t>(crc), static_cast<std::uint8_t>(crc >> 8), 0,
                      1, 0x34, 0x12, 0x80, 0x00};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), slot));
  EXPECT_EQ(slot[13], disk->GetSector(0, 0).Data[0]);
  EXPECT_EQ(slot[13 + 128], 0xFF);  // next slot: empty
  EXPECT_EQ(file.size(), kEmptyDiskSize + 5 + 8 + 4 + 12 + 128);
}

TEST_F(UdfTest, EveryFieldRoundTrips) {
  MakeRichDisk();
  const Bytes file = Save();
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, file)) << loaded->LastError;
  EXPECT_EQ(ModelDifference(*disk, *loaded), "");
  EXPECT_EQ(loaded->TrackCount, disk->CountTracks());
  Bytes again;
  ASSERT_TRUE(SaveUDFToBytes(*loaded, again));
  EXPECT_EQ(again, file);
}

// Files an earlier build wrote (the fuzz seeds: set and clear flags in the
// header, the tracks and the slots, raw images) save back to the same bytes.
TEST_F(UdfTest, FilesWrittenEarlierSaveToTheSameBytes) {
  const auto seeds = std::filesystem::path(VELLORAN_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "seeds" / "udf";
  for (const char* name : {"empty.udf", "sectors.udf", "raw_tracks.udf"}) {
    const Bytes file = test::ReadFileBytes(seeds / name);
    ASSERT_TRUE(LoadUDFFromBytes(*disk, file)) << name << ": " << disk->LastError;
    EXPECT_TRUE(Save() == file) << name;
  }
}

TEST_F(UdfTest, TextLinesEndingsAreTolerated) {
  MakeRichDisk();
  disk->GetTrack(4).DataRate = 0;  // no recording block: the comments end the file
  disk->GetTrack(5).Fm = false;
  disk->GetSector(6, 1).DeletedMark = false;
  Bytes file = Save();
  // Replace the comments block by a text with a lone LF and no final CR LF.
  const std::size_t comments = file.size() - 4 - 21 - 4;  // 21 bytes of Windows-1251 text
  ASSERT_EQ(ReadLe32(&file[comments]), 21u);
  file.resize(comments);
  const std::string text = "a\nb\r\n\r\nc";
  AppendLe32(file, static_cast<std::uint32_t>(text.size()));
  file.insert(file.end(), text.begin(), text.end());
  AppendLe32(file, CalcCRC32(file.data(), file.size()));
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, file)) << loaded->LastError;
  EXPECT_EQ(loaded->Comments, (std::vector<std::string>{"a", "b", "", "c"}));
}

// Texts of millions of short lines must not take the memory of millions of
// strings: past 4096 lines a comment or a log is cut, with a note.
TEST_F(UdfTest, LongTextsAreCutWithANote) {
  MakeRichDisk();
  disk->Comments.assign(5000, "c");
  disk->GetTrack(3).Log.assign(4096, "log");
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, Save())) << loaded->LastError;
  EXPECT_EQ(loaded->Comments, std::vector<std::string>(4096, "c"));
  EXPECT_EQ(loaded->GetTrack(3).Log.size(), 4096u);
  EXPECT_EQ(test::English(loaded->Notices),
            std::vector<std::string>{"UDF: a comment or track log longer than 4096 lines; only the first 4096 lines "
                                     "were loaded."});

  disk->Comments.assign(4096, "c");
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, Save()));
  EXPECT_EQ(ModelDifference(*disk, *loaded), "");
  EXPECT_EQ(test::English(loaded->LastError), "");
}

TEST_F(UdfTest, AnyChangedByteFailsTheLoad) {
  MakeRichDisk();
  const Bytes file = Save();
  for (std::size_t pos = 0; pos < file.size() - 4; pos += 997) {
    Bytes bad = file;
    bad[pos] ^= 0x20;
    const std::string message = LoadError(bad);
    EXPECT_TRUE(message == "UDF file checksum error!" || message == "The UDF file ends too early!" ||
                message == "UDF format error!")
        << pos << ": " << message;
    EXPECT_EQ(loaded->CountTracks(), 0) << "nothing of a damaged file stays loaded";
    EXPECT_TRUE(loaded->Title.empty());
  }
  Bytes longer = file;
  longer.push_back(0);
  EXPECT_EQ(LoadError(longer), "UDF file checksum error!");
}

// The copies of weak sectors: a block after the comments, only in files that
// have copies, so a file without them is laid out as before. A block naming a
// slot not in use or too many copies is refused.
TEST_F(UdfTest, WeakSectorCopiesFollowTheComments) {
  test::PutSector(*disk, 3, 2, 1, 0, 3, 1, false);
  const Bytes plain = Save();
  disk->GetSector(3, 2).ExtraCopies = {{false, Bytes(256, 1)}, {false, Bytes(256, 2)}};
  const Bytes file = Save();
  const std::size_t block = plain.size() - 4;
  ASSERT_EQ(file.size(), plain.size() + 4 + 4 + 3 + 2 * (1 + 2 + 256));
  EXPECT_TRUE(std::equal(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(block), file.begin()));
  EXPECT_EQ(std::string(file.begin() + block, file.begin() + block + 4), "COPY");
  EXPECT_EQ(ReadLe32(&file[block + 4]), 1u);
  EXPECT_EQ(file[block + 8], 3);   // track
  EXPECT_EQ(file[block + 9], 2);   // slot
  EXPECT_EQ(file[block + 10], 2);  // further copies
  EXPECT_EQ(file[block + 11], 0xFF);
  EXPECT_EQ(ReadLe16(&file[block + 12]), 256);
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, file)) << loaded->LastError;
  EXPECT_EQ(loaded->GetSector(3, 2).ExtraCopies, disk->GetSector(3, 2).ExtraCopies);
  const auto resealed = [&](std::size_t at, std::uint8_t value) {
    Bytes bad = file;
    bad[at] = value;
    bad.resize(bad.size() - 4);
    AppendLe32(bad, CalcCRC32(bad.data(), bad.size()));
    return bad;
  };
  EXPECT_EQ(LoadError(resealed(block + 9, 5)), "UDF format error!");    // an empty slot
  EXPECT_EQ(LoadError(resealed(block + 10, 8)), "UDF format error!");   // more than the slot holds
  EXPECT_EQ(LoadError(resealed(block + 8, 166)), "UDF format error!");  // no such track
}

TEST_F(UdfTest, ShortFilesFailAsReadErrors) {
  MakeRichDisk();
  const Bytes file = Save();
  for (std::size_t size : {std::size_t{0}, std::size_t{100}, std::size_t{259}, std::size_t{260}, file.size() / 2,
                           file.size() - 8, file.size() - 1}) {
    EXPECT_EQ(LoadError(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size))),
              "The UDF file ends too early!")
        << size;
  }
}

// A file whose sizes exceed the model, with a correct checksum.
TEST_F(UdfTest, FieldsLargerThanTheModelAreRefused) {
  test::PutSector(*disk, 0, 0, 0, 0, 1, 3);
  disk->GetTrack(0).SectorCount = 1;
  Bytes file = Save();
  auto reseal = [](Bytes f) {
    f.resize(f.size() - 4);
    AppendLe32(f, CalcCRC32(f.data(), f.size()));
    return f;
  };
  Bytes bad = file;
  WriteLe16(&bad[260 + 4], 6501);  // RawLength
  loaded->KeepRaw = true;
  EXPECT_EQ(LoadError(reseal(bad)), "UDF format error!");
  EXPECT_TRUE(loaded->KeepRaw);
  bad = file;
  const std::size_t slot = 260 + 10;  // after the empty log
  ASSERT_EQ(ReadLe16(&bad[slot + 11]), 1024);
  WriteLe16(&bad[slot + 11], 1101);
  EXPECT_EQ(LoadError(reseal(bad)), "UDF format error!");
  // Counts that cannot be true are kept inside the 20 slots; flags other
  // than 1 read as clear.
  bad = file;
  bad[260 + 2] = 200;
  bad[257] = 0;
  bad[259] = 2;
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, reseal(bad))) << loaded->LastError;
  EXPECT_EQ(loaded->GetTrack(0).SectorCount, 20);
  EXPECT_FALSE(loaded->UseBaseTrack);
  EXPECT_FALSE(loaded->KeepRaw);
}

TEST_F(UdfTest, CorpusUdiThroughUdfGivesTheSameUdi) {
  ASSERT_TRUE(LoadUDI(*disk, test::CorpusFile("udi/alfishe_unreal-ng__Zvezdnoe_Nasledie.udi")));
  disk->KeepRaw = true;
  Bytes direct;
  ASSERT_TRUE(SaveUDIToBytes(*disk, direct));
  ASSERT_TRUE(LoadUDFFromBytes(*loaded, Save())) << loaded->LastError;
  EXPECT_EQ(ModelDifference(*disk, *loaded), "");
  Bytes throughUdf;
  ASSERT_TRUE(SaveUDIToBytes(*loaded, throughUdf));
  EXPECT_TRUE(throughUdf == direct);
}

TEST_F(UdfTest, FilesAreReplacedAndMissingFilesReported) {
  MakeRichDisk();
  test::ScratchDir dir;
  const auto file = dir / "disk.udf";
  test::WriteFileBytes(file, Bytes(10, 0x55));
  ASSERT_TRUE(SaveUDF(*disk, file));
  ASSERT_TRUE(LoadUDF(*loaded, file)) << loaded->LastError;
  EXPECT_EQ(ModelDifference(*disk, *loaded), "");
  EXPECT_FALSE(LoadUDF(*loaded, dir / "missing.udf"));
  EXPECT_EQ(test::English(loaded->LastError), "File " + PathToUtf8(dir / "missing.udf") + " not found!");
  EXPECT_EQ(ModelDifference(*disk, *loaded), "") << "a missing file leaves the disk";
}

}  // namespace
}  // namespace velloran
