// udf images: the tool's own whole-disk format, a direct dump of the disk
// model with raw tracks, logs, comments, base-track settings and a title.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "model/disk.h"

namespace velloran {

// Reads a udf file; on any failure the disk is left empty.
Confidence ProbeUDF(const ProbeInput& input);
bool LoadUDF(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadUDFFromBytes(TZX_Disk& disk, ByteSpan data);
// Writes every field of the disk model, followed by a checksum. The copies of
// weak sectors go into a block after the comments that only files with such
// copies have; files without it load as before.
bool SaveUDF(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveUDFToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
