// Adds an arbitrary Hobeta or SCL file (the first byte chooses) to a TR-DOS
// disk whose catalog is nearly full or nearly out of space.
#include <cstddef>
#include <cstdint>

#include "trdos/add_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  if (size < 2) return 0;
  static auto* disk = new TZX_Disk;
  MakeTrdosDisk(*disk, "FUZZ");
  TrdosCatalog catalog;
  ReadCatalog(*disk, catalog);
  // The second byte moves the first free position towards the end of the
  // disk, so the walk also meets the last tracks.
  catalog.FirstFreeTrack = static_cast<std::uint8_t>(1 + data[1] % 160);
  RecountFreeSectors(catalog);
  const std::string name = (data[0] & 1) != 0 ? "fuzz.scl" : "fuzz.$B";
  AddFileBytes(catalog, *disk, name, ByteSpan(data + 2, size - 2));
  WriteCatalog(*disk, catalog);
  return 0;
}
