// TRD images: plain TR-DOS sector dumps, 16 sectors of 256 bytes per track.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbeTRD(const ProbeInput& input);
bool LoadTRD(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadTRDFromBytes(TZX_Disk& disk, ByteSpan data);
bool SaveTRD(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveTRDToBytes(TZX_Disk& disk, Bytes& out);
// What a TRD file cannot hold of the disk (sectors outside the TR-DOS layout).
SaveLosses SaveLossesTRD(const TZX_Disk& disk, std::string_view format);

}  // namespace velloran
