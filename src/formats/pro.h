// PRO images: Profi CP/M sector dumps, 5 sectors of 1024 bytes per track.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

Confidence ProbePRO(const ProbeInput& input);
bool LoadPRO(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadPROFromBytes(TZX_Disk& disk, ByteSpan data);
bool SavePRO(TZX_Disk& disk, const std::filesystem::path& file);
bool SavePROToBytes(TZX_Disk& disk, Bytes& out);
// What a PRO file cannot hold of the disk (sectors outside the Profi CP/M layout).
SaveLosses SaveLossesPRO(const TZX_Disk& disk, std::string_view format);

}  // namespace velloran
