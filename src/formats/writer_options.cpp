#include "formats/writer_options.h"

namespace velloran {

namespace {

constexpr WriterOption kWriterOptions[] = {
    {.flag = "keep-raw", .formats = "UDI", .settingKey = "RestoreTrack", .field = &SaveOptions::keepRaw},
    {.flag = "compress", .formats = "TD0", .settingKey = "TD0arch", .field = &SaveOptions::td0Compress},
    {.flag = "standard-dsk", .formats = "DSK", .settingKey = "", .field = &SaveOptions::dskStandard},
    {.flag = "lossy", .formats = "", .settingKey = "", .field = &SaveOptions::lossy},
};

}  // namespace

std::span<const WriterOption> WriterOptions() { return kWriterOptions; }

}  // namespace velloran
