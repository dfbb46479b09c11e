#include "common/file_io.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

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

namespace {

std::filesystem::path TemporaryBeside(const std::filesystem::path& file) {
  std::random_device seed;
  auto name = file.filename().string() + ".tmp" + std::to_string(seed() % 1000000);
  return file.parent_path() / name;
}

}  // namespace

bool WriteFileAtomic(const std::filesystem::path& file, ByteSpan data, std::string& error) {
  const auto temporary = TemporaryBeside(file);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) {
    error = "Cannot create file " + file.string();
    return false;
  }
  std::size_t written = 0;
  bool ok = true;
  while (written < data.size()) {
    const auto n = ::write(fd, data.data() + written, data.size() - written);
    if (n <= 0) {
      ok = false;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) {
    std::error_code ec;
    std::filesystem::rename(temporary, file, ec);
    ok = !ec;
  }
  if (!ok) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    error = "Cannot write file " + file.string();
  }
  return ok;
}

}  // namespace velloran
