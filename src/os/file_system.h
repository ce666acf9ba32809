// Files as the program uses them, over POSIX calls, each returning an I/O code (io_codes.h).
//
// The program keeps "\" as its path separator; HostPath turns its strings into the paths this
// platform uses. Inputs are only ever regular files, opened without blocking. Outputs are always
// new files: they never replace or truncate anything that stands under their name, and a rename
// never replaces its target. Open, close, rename and delete refuse with the pending code while
// one is pending, and that refusal collects it.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

/// Returns the path for the OS: `dir` (the program's own string) with every "\" and ":" turned
/// into "/", followed by `name` (an entry name the OS gave) unchanged.
std::string HostPath(std::string_view dir, std::string_view name = {});

/// What a file's replacement inherits from it.
struct FileIdentity {
  mode_t permissions = 0;
  uid_t owner = 0;
  gid_t group = 0;
};

/// Opens the regular file at `path` for reading; anything else (a fifo, a directory) is code 5.
[[nodiscard]] int OpenForReading(const std::string& path, int& fd, FileIdentity& identity);

/// Creates a new file at `path` for writing with the permission bits (and, where allowed, the
/// owner) of `like`; code 5 when anything already stands under that name.
[[nodiscard]] int CreateExclusive(const std::string& path, const FileIdentity& like, int& fd);

/// Reads up to `capacity` bytes with one read(2); `got` is 0 at the end of the file.
[[nodiscard]] int ReadBlock(int fd, char* buffer, std::size_t capacity, std::size_t& got);

/// Writes all of `data`; after a failure the bytes that were not written are dropped.
[[nodiscard]] int WriteBlock(int fd, std::string_view data);

/// Flushes the file and its directory entry to stable storage.
[[nodiscard]] int SyncToDisk(int fd, const std::string& path);

/// Closes `fd` (set to -1 even when the close reports a failure).
[[nodiscard]] int CloseFile(int& fd);

/// Renames `from` to `to`; code 5 when `to` exists.
[[nodiscard]] int RenameNoReplace(const std::string& from, const std::string& to);

/// Whether `path` names the file open as `fd` and is its only name, so that deleting it would
/// destroy the file.
bool IsLastNameOf(const std::string& path, int fd);

/// Deletes the file at `path`.
[[nodiscard]] int DeleteFile(const std::string& path);
