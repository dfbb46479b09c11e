#include "common/file_io.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "common/file_replace.h"
#include "common/messages.h"
#include "common/system.h"
#include "common/utf8_path.h"

namespace velloran {

std::optional<Bytes> ReadWholeFile(const std::filesystem::path& file, ReadFailure* failure, std::uintmax_t maxSize,
                                   std::error_code* reason) {
  const auto fail = [failure, reason](ReadFailure why, std::error_code code) -> std::optional<Bytes> {
    if (failure != nullptr) *failure = why;
    if (reason != nullptr) *reason = code;
    return std::nullopt;
  };
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status)) return fail(ReadFailure::NotFound, {});
  if (!std::filesystem::is_regular_file(status)) return fail(ReadFailure::NotRegularFile, {});
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) return fail(ReadFailure::CannotRead, ec);
  if (size > maxSize) return fail(ReadFailure::TooLarge, {});
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) return fail(ReadFailure::CannotRead, std::error_code(errno, std::generic_category()));
  Bytes data(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size)))
    return fail(ReadFailure::CannotRead, std::error_code(errno, std::generic_category()));
  if (failure != nullptr) *failure = ReadFailure::None;
  return data;
}

Phrase ReadFailureMessage(ReadFailure failure, const std::filesystem::path& file, std::uintmax_t maxSize,
                          const std::error_code& reason) {
  switch (failure) {
    case ReadFailure::NotFound: return {MessageId::FileNotFound, {PathToUtf8(file)}};
    case ReadFailure::NotRegularFile: return {MessageId::FileNotRegular, {PathToUtf8(file)}};
    case ReadFailure::TooLarge: return {MessageId::FileTooLarge, {PathToUtf8(file), maxSize >> 20}};
    case ReadFailure::CannotRead:
    case ReadFailure::None: break;
  }
  const std::string why = reason ? ": " + ErrorCodeText(reason) : std::string();
  return {MessageId::FileReadError, {PathToUtf8(file), why}};
}

bool WriteFileAtomic(const std::filesystem::path& file, BytePieces pieces, std::string& error) {
  // Devices and FIFOs (also behind links) cannot be replaced, only written;
  // a folder refuses the write with the system's reason.
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    return WriteInPlace(file, pieces, error);
  const auto target = FollowLinks(file, error);
  return target && ReplaceRegularFile(*target, pieces, error);
}

}  // namespace velloran
