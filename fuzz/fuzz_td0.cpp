// Reads arbitrary TD0 files. The first input byte chooses how the rest is
// taken: as a whole file, or as a plain or LZH-compressed body behind a valid
// header, so that the body readers are reached without guessing the header
// CRC. A disk that loads is saved again.
#include <cstddef>
#include <cstdint>

#include "formats/td0.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  static auto* disk = new TZX_Disk;
  if (size == 0) return 0;
  const ByteSpan rest(data + 1, size - 1);
  const int mode = data[0] % 3;
  if (mode == 0) {
    LoadTD0FromBytes(*disk, rest);
  } else {
    const bool compressed = mode == 2;
    Bytes file = {static_cast<std::uint8_t>(compressed ? 't' : 'T'),
                  static_cast<std::uint8_t>(compressed ? 'd' : 'D'),
                  0,
                  0,
                  21,
                  0,
                  3,
                  static_cast<std::uint8_t>(data[0] & 0x80),
                  0,
                  2};
    AppendLe16(file, Td0Crc(file));
    file.insert(file.end(), rest.begin(), rest.end());
    LoadTD0FromBytes(*disk, file);
  }
  Bytes saved;
  SaveTD0ToBytes(*disk, saved, false);
  return 0;
}
