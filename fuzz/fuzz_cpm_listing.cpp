// Lists arbitrary CP/M directory bytes and reads every listed file from an
// empty Profi disk: no block number may lead outside the disk.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "cpm/cpm_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  static auto* disk = [] {
    auto* made = new TZX_Disk;
    MakeCpmDisk(*made);
    return made;
  }();
  CpmDirectory directory{};
  std::copy_n(data, std::min<std::size_t>(size, directory.size()), directory.begin());
  for (int flags = 0; flags < 4; ++flags) {
    const CpmListing listing = ListCpmDirectory(directory, (flags & 1) != 0, (flags & 2) != 0);
    if (flags != 3) continue;
    for (const auto& row : listing.Rows) {
      CpmFoundFile found;
      if (FindCpmFile(listing.Directory, row.Name11, found) >= 0) CpmFileContents(*disk, found);
    }
  }
  return 0;
}
