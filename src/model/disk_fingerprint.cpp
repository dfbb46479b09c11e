#include "model/disk_fingerprint.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "common/sha256.h"

namespace velloran {

namespace {

// Folds values and byte ranges into one 64-bit hash.
class Fold {
 public:
  // Each step is a bijection of the running hash, so no single change of a
  // value can be cancelled out by the step that takes it in.
  void Value(std::uint64_t value) {
    hash_ = (hash_ ^ value) * 0x100000001B3ULL;
    hash_ ^= hash_ >> 31;
  }
  void Bytes(const void* data, std::size_t size) {
    Value(size);
    Value(std::hash<std::string_view>{}(std::string_view(static_cast<const char*>(data), size)));
  }
  void Text(const std::string& text) { Bytes(text.data(), text.size()); }
  std::uint64_t Result() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xCBF29CE484222325ULL;
};

void FoldSector(Fold& fold, const TSectorRec& sector) {
  fold.Value(sector.Used);
  fold.Value(static_cast<std::uint64_t>(sector.IdTrack) << 24 | static_cast<std::uint64_t>(sector.IdSide) << 16 |
             static_cast<std::uint64_t>(sector.IdSector) << 8 | sector.IdSize);
  fold.Value(sector.IdCrc);
  fold.Value(static_cast<std::uint64_t>(sector.ErrorCount) << 16 | static_cast<std::uint64_t>(sector.DeletedMark) << 8 |
             sector.DataOk);
  fold.Value(static_cast<std::uint64_t>(sector.DataPos) << 16 | sector.DataLen);
  fold.Bytes(sector.Data.data(), sector.Data.size());
  fold.Value(sector.ExtraCopies.size());
  for (const DataCopy& copy : sector.ExtraCopies) {
    fold.Value(copy.ok);
    fold.Bytes(copy.data.data(), copy.data.size());
  }
}

void AddCopy(Sha256& sha, std::uint8_t state, const std::uint8_t* data, std::size_t length) {
  const std::uint8_t head[3] = {state, static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8)};
  sha.Add(head, sizeof head);
  sha.Add(data, length);
}

}  // namespace

std::string ContentSha256(const TZX_Disk& disk) {
  Sha256 sha;
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.Tracks[t];
    if (!track.Present) continue;
    for (const TSectorRec& sector : track.Sectors) {
      if (!sector.Used) continue;
      const std::uint8_t id[5] = {static_cast<std::uint8_t>(t), sector.IdTrack, sector.IdSide, sector.IdSector,
                                  sector.IdSize};
      sha.Add(id, sizeof id);
      const bool idOk = sector.IdCrc == IdFieldCrc(sector.IdTrack, sector.IdSide, sector.IdSector, sector.IdSize);
      const std::size_t length = std::min<std::size_t>(sector.DataLen, kSectorDataSize);
      const auto state = static_cast<std::uint8_t>((length > 0 ? 1 : 0) | (sector.DataOk ? 2 : 0) | (idOk ? 4 : 0));
      AddCopy(sha, state, sector.Data.data(), length);
      const auto copies = static_cast<std::uint8_t>(sector.ExtraCopies.size());
      sha.Add(&copies, 1);
      for (const DataCopy& copy : sector.ExtraCopies)
        AddCopy(sha, static_cast<std::uint8_t>(1 | (copy.ok ? 2 : 0)), copy.data.data(), copy.data.size());
    }
  }
  return sha.FinishHex();
}

std::uint64_t DiskFingerprint(const TZX_Disk& disk) {
  Fold fold;
  fold.Text(disk.Title);
  fold.Value(static_cast<std::uint64_t>(disk.UseBaseTrack) << 8 | disk.BaseTrack);
  fold.Value(disk.Comments.size());
  for (const std::string& line : disk.Comments) fold.Text(line);
  for (const TTrack& track : disk.Tracks) {
    fold.Value(static_cast<std::uint64_t>(track.DataRate) << 16 | static_cast<std::uint64_t>(track.Fm) << 2 |
               static_cast<std::uint64_t>(track.Present) << 1 | track.RawValid);
    const std::size_t rawLength = std::min<std::size_t>(track.RawLength, track.RawData.size());
    fold.Bytes(track.RawData.data(), rawLength);
    fold.Value(track.Log.size());
    for (const std::string& line : track.Log) fold.Text(line);
    for (const TSectorRec& sector : track.Sectors) FoldSector(fold, sector);
  }
  return fold.Result();
}

}  // namespace velloran
