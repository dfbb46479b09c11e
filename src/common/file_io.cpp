#include "common/file_io.h"

#include <fstream>
#include <system_error>

namespace velloran {

std::optional<Bytes> ReadWholeFile(const std::filesystem::path& file, std::uintmax_t maxSize) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec || size > maxSize) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  Bytes data(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size)))
    return std::nullopt;
  return data;
}

}  // namespace velloran
