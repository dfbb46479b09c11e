// SCP flux images (SuperCard Pro, also written by Greaseweazle): every track
// as one or more revolutions of flux intervals.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "model/disk.h"

namespace velloran {

// An SCP image starts with "SCP", a revolution count and a head choice the
// reader knows.
Confidence ProbeSCP(const ProbeInput& input);

// Reads an SCP image: the flux of every track is decoded into the disk and
// kept beside it. A checksum that does not match is noted, not refused.
bool LoadSCP(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadSCPFromBytes(TZX_Disk& disk, ByteSpan data);
// Writes every track up to the highest present one with the revolutions the
// disk's captured flux holds (captured flux of unchanged tracks as it was),
// or one revolution encoded from the track.
bool SaveSCP(TZX_Disk& disk, const std::filesystem::path& file);
bool SaveSCPToBytes(TZX_Disk& disk, Bytes& out);

}  // namespace velloran
