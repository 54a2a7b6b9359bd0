#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace wendrel::linux_app {

// Safe handling of a small file that must never be lost or half written:
// reading it whole or not at all, finding where its links lead, a lock for
// writers, and replacing it through a temporary file and a rename.

// A file as read: its text, and what a rewrite keeps of it.
struct FileContents {
    bool exists = false;
    std::string text;
    mode_t mode = 0600;
    uid_t owner = 0;
    gid_t group = 0;
};

// False, with the reason, when the file exists but cannot be read whole
// (no permission, not a plain file, larger than `maxSize`); a missing file
// reads as empty. Never blocks on a FIFO planted in the file's place.
bool ReadSmallFile(const std::filesystem::path& path, std::uintmax_t maxSize,
                   FileContents& contents, std::string& error);

// The file a write must replace: `path`, or where its symbolic links lead.
bool ResolveLinks(std::filesystem::path path, std::filesystem::path& target, std::string& error);

// An exclusive flock on "<file>.lock" while it lives: writers take turns
// at their read-modify-write; readers need none, since a file is only ever
// replaced whole.
class CWriteLock {
  public:
    CWriteLock() = default;
    ~CWriteLock();
    CWriteLock(const CWriteLock&) = delete;
    CWriteLock& operator=(const CWriteLock&) = delete;

    bool Take(const std::filesystem::path& file, std::string& error);

  private:
    int m_fd = -1;
};

// Writes `data` to a new file beside `target` with the old file's
// permissions (and owner, where this process may give it) and renames it
// over `target`, then syncs the folder so that the rename outlives a
// crash. False, with the reason, and `target` as it was, when any step
// fails.
bool ReplaceFile(const std::filesystem::path& target, const std::string& data,
                 const FileContents& old, std::string& error);

}  // namespace wendrel::linux_app
