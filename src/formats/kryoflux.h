// KryoFlux stream images: a folder of per-track files NN.S.raw (cylinder NN,
// side S, usually with a name prefix such as "track"), each a stream of flux
// values and out-of-band blocks with the index pulses.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "flux/flux_track.h"
#include "formats/probe.h"
#include "model/disk.h"

namespace velloran {

// A folder holding stream files, or a stream file: named NN.S.raw and
// starting with an out-of-band block of stream information, index or board
// information, whole within the file.
Confidence ProbeKryoFlux(const ProbeInput& input);

// Reads the stream set of a folder, or the set a stream file belongs to
// (every file beside it with the same name prefix).
bool LoadKryoFlux(TZX_Disk& disk, const std::filesystem::path& fileOrFolder);

// Parses one stream file into flux; false with `error` set when the stream
// is damaged. `endedEarly`, when given, tells whether the data ran out
// before the stream's end block (a file cut short).
bool ParseKryoFluxStream(ByteSpan data, FluxTrack& flux, Diagnostic& error, bool* endedEarly = nullptr);

}  // namespace velloran
