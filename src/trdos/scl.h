// SCL files: TR-DOS files with a short catalog, loaded as a TR-DOS disk;
// also the SCL file of files chosen in the catalog window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "model/disk.h"
#include "trdos/catalog.h"
#include "trdos/file_sectors.h"

namespace velloran {

inline constexpr std::size_t kSclHeaderSize = 14;
inline constexpr std::size_t kSclSignatureSize = 8;

bool LoadSCL(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadSCLFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveSCL(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveSCLToBytes(TZX_Disk& disk, Bytes& out);

// Sum of the bytes as a 32-bit number with wrap-around.
std::uint32_t SclChecksum(ByteSpan data);
// Whether the last four bytes hold the sum of all bytes before them. A file
// shorter than the checksum itself never passes.
bool SclChecksumValid(ByteSpan data);
bool HasSclSignature(ByteSpan data);
// The 14-byte header of a file at `offset` (no bounds check beyond `data`).
TrdosEntry SclHeaderAt(ByteSpan data, std::size_t offset);

// The SCL file of the given entries in the given order: signature, count,
// headers, sectors, checksum. On a sector that cannot be read, `Failure`
// names it and `Data` is empty.
struct SclFile {
  Bytes Data;
  std::optional<SectorFailure> Failure;
};
SclFile BuildSclFile(const TZX_Disk& disk, const std::vector<TrdosEntry>& entries);

// Messages of the catalog window's SCL export.
Message NoFilesSelectedMessage();
Message SclOverwriteQuestion(const std::string& fullFileName);
Message SclSectorErrorMessage(const SectorFailure& failure);

}  // namespace velloran
