#include "common/file_replace.h"

#include "common/messages.h"
#include "common/system.h"
#include "common/utf8_path.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <system_error>

#include "common/file_io.h"

namespace velloran {

namespace {

constexpr std::string_view kTemporarySuffix = ".velloran-tmp";
constexpr std::size_t kHashLength = 8;
constexpr int kMaxLinkHops = 40;  // as the kernel allows

// 32-bit FNV-1a of the name as 8 hex digits: names cut to the same start
// still get different temporaries.
std::string NameHash(const std::string& name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
  char text[kHashLength + 1];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hash));
  return text;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The folders a SaveBatchFolder swept, with how many batches hold each.
std::mutex sweptFoldersMutex;
std::map<std::filesystem::path, int> sweptFolders;

// One spelling per folder: "out", "out/" and "./out" are one key, and so are
// "" and ".".
std::filesystem::path FolderKey(const std::filesystem::path& folder) {
  const auto key = (folder / "name").lexically_normal().parent_path();
  return key.empty() ? "." : key;
}

bool FolderSwept(const std::filesystem::path& folder) {
  const std::lock_guard lock(sweptFoldersMutex);
  return sweptFolders.contains(FolderKey(folder));
}

}  // namespace

// Every name starts with "." + the name, cut so that the longest unique part
// still fits in maxLength, + "." + hash + ".".
TemporaryNames::TemporaryNames(const std::string& fileName, std::size_t maxLength) {
  const std::size_t fixed = 3 + kHashLength + kTemporaryUniqueLength + kTemporarySuffix.size();
  std::size_t keep = std::min(fileName.size(), maxLength > fixed ? maxLength - fixed : 0);
  // Never split a UTF-8 character: back up over continuation bytes.
  while (keep > 0 && keep < fileName.size() && (static_cast<std::uint8_t>(fileName[keep]) & 0xC0) == 0x80) --keep;
  prefix_ = "." + fileName.substr(0, keep) + "." + NameHash(fileName) + ".";
}

std::string TemporaryNames::Make(std::string_view unique) const {
  return prefix_ + std::string(unique) + std::string(kTemporarySuffix);
}

std::optional<std::string> TemporaryNames::UniquePartOf(std::string_view candidate) const {
  if (candidate.size() <= prefix_.size() + kTemporarySuffix.size()) return std::nullopt;
  if (!candidate.starts_with(prefix_) || !candidate.ends_with(kTemporarySuffix)) return std::nullopt;
  const auto unique = candidate.substr(prefix_.size(), candidate.size() - prefix_.size() - kTemporarySuffix.size());
  if (unique.size() > kTemporaryUniqueLength) return std::nullopt;
  return std::string(unique);
}

// "." + the name (perhaps cut) + "." + hash + "." + unique part + suffix;
// the unique part holds no dot.
std::optional<std::string> UniquePartOfAnyTemporary(std::string_view candidate) {
  if (!candidate.starts_with('.') || !candidate.ends_with(kTemporarySuffix)) return std::nullopt;
  const auto rest = candidate.substr(0, candidate.size() - kTemporarySuffix.size());
  const auto dot = rest.rfind('.');
  if (dot == std::string_view::npos || dot < kHashLength + 2 || rest[dot - kHashLength - 1] != '.') return std::nullopt;
  const auto hash = rest.substr(dot - kHashLength, kHashLength);
  if (!std::all_of(hash.begin(), hash.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
    return std::nullopt;
  const auto unique = rest.substr(dot + 1);
  if (unique.empty() || unique.size() > kTemporaryUniqueLength) return std::nullopt;
  return std::string(unique);
}

std::string MakeUniquePart(long processId) {
  thread_local std::mt19937 random{std::random_device{}()};
  char text[kTemporaryUniqueLength + 1];
  std::snprintf(text, sizeof text, "%ld-%08x", processId, static_cast<unsigned>(random()));
  return text;
}

std::optional<long> ProcessIdOfUniquePart(const std::string& unique) {
  const auto dash = unique.find('-');
  if (dash == std::string::npos || dash > 10) return std::nullopt;
  const std::string_view digits(unique.data(), dash);
  if (!AllDigits(digits)) return std::nullopt;
  return std::stol(std::string(digits));
}

std::optional<std::filesystem::path> FollowLinks(const std::filesystem::path& file, std::string& error) {
  std::filesystem::path current = file;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, ec))) return current;
    const auto target = std::filesystem::read_symlink(current, ec);
    if (ec) {
      error = CannotCreateMessage(file, ErrorCodeText(ec));
      return std::nullopt;
    }
    // A relative link is relative to the folder that holds it.
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  error = CannotCreateMessage(file, std::generic_category().message(ELOOP));
  return std::nullopt;
}

void RemoveStaleTemporariesOf(const std::filesystem::path& folder, const TemporaryNames& names) {
  if (FolderSwept(folder)) return;
  RemoveStaleTemporaries(folder, [&names](std::string_view name) { return names.UniquePartOf(name); });
}

void SyncFolderAfterReplace(const std::filesystem::path& folder) {
  if (!FolderSwept(folder)) SyncFolder(folder);
}

SaveBatchFolder::SaveBatchFolder(const std::filesystem::path& folder) : folder_(FolderKey(folder)) {
  RemoveStaleTemporaries(folder, UniquePartOfAnyTemporary);
  const std::lock_guard lock(sweptFoldersMutex);
  ++sweptFolders[folder_];
}

SaveBatchFolder::~SaveBatchFolder() {
  {
    const std::lock_guard lock(sweptFoldersMutex);
    if (--sweptFolders[folder_] == 0) sweptFolders.erase(folder_);
  }
  SyncFolder(folder_);
}

std::string CannotCreateMessage(const std::filesystem::path& file, const std::string& reason) {
  return MessageText(MessageId::FileCannotCreate, {PathToUtf8(file), reason});
}

std::string CannotWriteMessage(const std::filesystem::path& file, const std::string& reason) {
  return MessageText(MessageId::FileCannotWrite, {PathToUtf8(file), reason});
}

std::string NoWriteAccessMessage(const std::filesystem::path& file, const std::string& reason) {
  return MessageText(MessageId::FileNoWriteAccess, {PathToUtf8(file), reason});
}

std::string ReadOnlyMessage(const std::filesystem::path& file) {
  return MessageText(MessageId::FileReadOnly, {PathToUtf8(file)});
}

}  // namespace velloran
