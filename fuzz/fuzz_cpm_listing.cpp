// Recognises a +3 disk whose geometry record is fuzzed, or takes a known
// CP/M definition, then lists arbitrary directory bytes by it and reads
// every listed file from the disk: no record, block number or extent may
// lead outside the disk. Byte 0 picks the definition (past the table: the
// record in bytes 1..10); the rest is the directory.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cpm/cpm_directory.h"
#include "cpm/cpm_recognition.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  static auto* disks = [] {
    auto* made = new std::vector<TZX_Disk>(CpmDefinitions().size());
    for (std::size_t i = 0; i < made->size(); ++i) MakeCpmDisk((*made)[i], CpmDefinitions()[i]);
    return made;
  }();
  if (size < 1 + kCpmBootRecordSize) return 0;
  const std::size_t choice = data[0] % (disks->size() + 1);
  std::optional<CpmDefinition> definition;
  TZX_Disk* disk = nullptr;
  if (choice < disks->size()) {
    definition = CpmDefinitions()[choice];
    disk = &(*disks)[choice];
  } else {
    static const auto plusThree = static_cast<std::size_t>(
        std::find(CpmDefinitions().begin(), CpmDefinitions().end(), *FindCpmDefinition("plus3")) -
        CpmDefinitions().begin());
    disk = &(*disks)[plusThree];  // the +3 disk, its record replaced
    std::copy_n(data + 1, kCpmBootRecordSize, disk->Tracks[0].Sectors[0].Data.begin());
    definition = RecognizeCpmDisk(*disk);
    if (!definition) return 0;
  }
  const std::uint8_t* rest = data + 1 + kCpmBootRecordSize;
  const std::size_t restSize = size - 1 - kCpmBootRecordSize;
  CpmDirectory directory(static_cast<std::size_t>(definition->DirectoryBytes()), kCpmDeleted);
  std::copy_n(rest, std::min(restSize, directory.size()), directory.begin());
  for (int flags = 0; flags < 4; ++flags) {
    const CpmListing listing = ListCpmDirectory(*definition, directory, (flags & 1) != 0, (flags & 2) != 0);
    if (flags != 3) continue;
    for (const auto& row : listing.Rows) {
      CpmFoundFile found;
      if (FindCpmFile(*definition, listing.Directory, row.Name11, found) >= 0)
        CpmFileContents(*disk, *definition, found);
    }
  }
  return 0;
}
