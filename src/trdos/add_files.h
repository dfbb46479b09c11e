// Adding TR-DOS files from Hobeta and SCL files to the disk in memory, with
// every check of the catalog window in its order.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "model/disk.h"
#include "trdos/catalog.h"
#include "trdos/catalog_operations.h"

namespace velloran {

// Whether a file is read as SCL: its extension, upper-cased and without the
// dot, begins with "SCL". Every other file is read as Hobeta.
bool IsSclFileName(const std::filesystem::path& file);

// Adds the files held in one Hobeta or SCL file (`path` is the name shown in
// messages and decides the kind). Returns the message of the first failing
// check; files added before the failure stay in the catalog record and on the
// disk. The catalog is not written back here.
std::optional<Message> AddFileBytes(TrdosCatalog& catalog, TZX_Disk& disk, const std::string& path, ByteSpan data);

// The window's command: adds the files in order; a file that fails is told
// and the others are still added (until the catalog is full), then, when
// some of several files failed, how many were added. Writes the catalog
// back and marks it changed.
OperationResult AddFiles(CatalogState& state, TZX_Disk& disk, const std::vector<std::filesystem::path>& files);

}  // namespace velloran
