#include "drive/floppy_driver.h"

#include <algorithm>

namespace velloran {

DriveDescription FloppyDriver::Describe() const {
  DriveDescription description;
  description.name = "floppy controller";
  description.capabilities.controllerCommands = true;
  description.capabilities.writeProtectSense = true;
  return description;
}

Bytes FormatBlock::ToBytes() const {
  Bytes out = {flags, head, sizeCode, static_cast<std::uint8_t>(headers.size()), gap, fill};
  for (const IdHeader& id : headers) out.insert(out.end(), {id.c, id.h, id.r, id.n});
  return out;
}

void StoreScanHeaders(const std::vector<IdHeader>& headers, ScanResult& result) {
  const std::size_t room = (result.buffer.size() - 1) / 4;
  const std::size_t count = std::min({headers.size(), room, std::size_t{255}});
  result.buffer[0] = static_cast<std::uint8_t>(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t* p = &result.buffer[1 + 4 * i];
    p[0] = headers[i].c;
    p[1] = headers[i].h;
    p[2] = headers[i].r;
    p[3] = headers[i].n;
  }
  result.byteCount = 1 + 4 * count;
}

}  // namespace velloran
