#include "formats/writer_options.h"

namespace velloran {

namespace {

constexpr WriterOption kWriterOptions[] = {
    {.flag = "keep-raw",
     .formats = "UDI",
     .help = "keep the loaded raw tracks instead of building them anew",
     .settingKey = "RestoreTrack",
     .field = &SaveOptions::keepRaw},
    {.flag = "compress",
     .formats = "TD0",
     .help = "compress the TeleDisk image (LZH)",
     .settingKey = "TD0arch",
     .field = &SaveOptions::td0Compress},
    {.flag = "standard-dsk",
     .formats = "DSK",
     .help = "write the original fixed-size DSK layout instead of the extended one",
     .settingKey = "",
     .field = &SaveOptions::dskStandard},
    {.flag = "lossy",
     .formats = "",
     .help = "save even when the format cannot hold all of the disk, listing what is lost",
     .settingKey = "",
     .field = &SaveOptions::lossy},
};

}  // namespace

std::span<const WriterOption> WriterOptions() { return kWriterOptions; }

}  // namespace velloran
