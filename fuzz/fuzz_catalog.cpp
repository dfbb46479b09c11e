// Parses arbitrary catalog sectors, then runs what the catalog window does
// with such a catalog: its rows, the exports and viewers, delete and compact.
#include <cstddef>
#include <cstdint>

#include "trdos/catalog_operations.h"
#include "trdos/catalog_view.h"
#include "trdos/hobeta.h"
#include "trdos/scl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  static auto* disk = new TZX_Disk;
  static auto* state = new CatalogState;
  if (!ParseCatalog(ByteSpan(data, size), state->SharedCatalog)) return 0;
  TrdosCatalog& catalog = state->SharedCatalog;
  MakeTrdosDisk(*disk, "FUZZ");
  WriteCatalog(*disk, catalog);

  const bool showDeleted = size > 2560 && (data[2560] & 1) != 0;
  const auto rows = CatalogRows(catalog, showDeleted);
  DiskInfo(catalog);
  std::vector<TrdosEntry> entries;
  for (const auto& row : rows) {
    const TrdosEntry& entry = catalog.Entries[row.Entry];
    entries.push_back(entry);
    HobetaFileName(entry);
    BuildHobetaFile(*disk, entry);
    ScreenFileBytes(*disk, entry);
    EntryEditorFieldsOf(entry);
  }
  BuildSclFile(*disk, entries);
  for (int track = 0; track < 170; track += 7) FileAtSector(catalog, track, track % 16);
  std::vector<int> selected;
  for (std::size_t i = 2561; i < size && selected.size() < 8; ++i) selected.push_back(data[i] % 130);
  CatalogMenu(catalog, rows.empty(), selected, showDeleted);
  DeleteFiles(*state, *disk, selected, showDeleted);
  CompactCatalog(*state, *disk);
  return 0;
}
