// The pieces of WriteFileAtomic: the system-independent ones (temporary file
// names, following links, messages) in file_replace.cpp, and the two steps
// that talk to the operating system in one file per system (posix/...).
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/bytes.h"

namespace velloran {

// The names of temporary files for saving the file named `fileName`:
// "." + the name + "." + 8 hex digits of a hash of the name + "." + a unique
// part + ".velloran-tmp". When that would be longer than `maxLength` bytes
// the name is cut (at a character boundary); the hash keeps such names apart.
class TemporaryNames {
 public:
  TemporaryNames(const std::string& fileName, std::size_t maxLength);
  // The name with this unique part (at most kTemporaryUniqueLength bytes).
  std::string Make(std::string_view unique) const;
  // The unique part of `candidate` when it is one of these names.
  std::optional<std::string> UniquePartOf(std::string_view candidate) const;

 private:
  std::string prefix_;
};
inline constexpr std::size_t kTemporaryUniqueLength = 20;

// The unique part of `candidate` when it is a temporary name of any file.
std::optional<std::string> UniquePartOfAnyTemporary(std::string_view candidate);

// The unique part this process puts into its temporary names: its process id,
// "-" and random hex digits. ProcessIdOfUniquePart reads the id back.
std::string MakeUniquePart(long processId);
std::optional<long> ProcessIdOfUniquePart(const std::string& unique);

// The file a chain of symbolic links ends at (the file itself when it is no
// link); it need not exist. Nothing, with a message in `error`, when a link
// cannot be read or the chain does not end.
std::optional<std::filesystem::path> FollowLinks(const std::filesystem::path& file, std::string& error);

// Before a file in `folder` is replaced: removes the temporaries of killed
// saves of it (named by `names`), unless a SaveBatchFolder swept the folder.
void RemoveStaleTemporariesOf(const std::filesystem::path& folder, const TemporaryNames& names);

// After a file in `folder` was replaced: syncs the folder so that the rename
// survives a power cut, unless a SaveBatchFolder holds the folder (it syncs
// it once at its end, for all the saves of the batch).
void SyncFolderAfterReplace(const std::filesystem::path& folder);

// Messages of a failed save; `reason` is the system's text.
std::string CannotCreateMessage(const std::filesystem::path& file, const std::string& reason);
std::string CannotWriteMessage(const std::filesystem::path& file, const std::string& reason);
std::string NoWriteAccessMessage(const std::filesystem::path& file, const std::string& reason);
std::string ReadOnlyMessage(const std::filesystem::path& file);

// ---- implemented once per operating system ----

// Gives the unique part of a name that is one of the temporaries sought.
using TemporaryMatcher = std::function<std::optional<std::string>(std::string_view)>;

// Removes the temporaries in `folder` that `matches` recognises and whose
// process no longer runs: those that killed saves left behind.
void RemoveStaleTemporaries(const std::filesystem::path& folder, const TemporaryMatcher& matches);

// Makes the renames done in `folder` survive a power cut, as far as the file
// system allows (POSIX: fsync of the folder; Windows writes its renames
// through at once and needs nothing).
void SyncFolder(const std::filesystem::path& folder);

// Writes the pieces into an existing file that is not a regular file (a
// device, a FIFO) without replacing it.
bool WriteInPlace(const std::filesystem::path& file, BytePieces pieces, std::string& error);

// Replaces the regular file `target` (no link; it may not exist yet) through a
// temporary file beside it, keeping its mode, owner and group, after removing
// the temporaries of killed saves of it (RemoveStaleTemporariesOf).
bool ReplaceRegularFile(const std::filesystem::path& target, BytePieces pieces, std::string& error);

}  // namespace velloran
