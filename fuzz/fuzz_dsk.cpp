// Feeds arbitrary bytes to the DSK reader (both variants); the sanitizers
// catch any access outside the file, the slots or the sector data. What
// loaded must also save again in both variants, and the copies of its weak
// sectors must come back through a udf file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/dsk.h"
#include "formats/udf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  // The disk holds about 5 MB of tracks: one, on the heap, for every run.
  static auto* disk = new TZX_Disk;
  static auto* again = new TZX_Disk;
  if (LoadDSKFromBytes(*disk, ByteSpan(data, size))) {
    Bytes out;
    SaveDSKToBytes(*disk, out, DskVariant::Extended);
    SaveDSKToBytes(*disk, out, DskVariant::Standard);
    if (!SaveUDFToBytes(*disk, out) || !LoadUDFFromBytes(*again, out)) std::abort();
    for (int t = 0; t < kTrackCount; ++t)
      for (int s = 0; s < kSlotCount; ++s)
        if (disk->Tracks[t].Sectors[s].ExtraCopies != again->Tracks[t].Sectors[s].ExtraCopies) std::abort();
  }
  return 0;
}
