#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace wendrel::linux_app {

// The per-user store of named 32-bit integers: one file per program,
// "<config home>/<company>/<program>.conf", in sections of "entry=value"
// lines. Nothing in it is ever lost: a file that exists but cannot be read
// (no permission, not a plain file, larger than kMaxFileSize) is never
// replaced; a write holds an advisory lock across its read-modify-write,
// goes through a unique temporary file beside the file and a rename, keeps
// the other lines as they were, the file's permissions and its line
// endings, and updates a symbolic link's target rather than the link.
class CSettingsStore {
  public:
    // Larger settings files are refused as unreadable.
    static constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

    CSettingsStore(std::filesystem::path configHome, std::string company, std::string program);

    // $XDG_CONFIG_HOME, or HomeDirectory()/.config when it is unset, empty
    // or not an absolute path (as the XDG rules say).
    static std::filesystem::path DefaultConfigHome();
    // $HOME; when it is unset or empty, the user's home directory in the
    // password database; "." when there is none.
    static std::filesystem::path HomeDirectory();
    // The program's name as the settings know it: the file name of
    // `argv0` without its directory and without its extension.
    static std::string ProgramName(const std::string& argv0);

    // The stored value, or `defaultValue` when there is none, it is not a
    // whole number, or the file cannot be read.
    std::int32_t GetProfileInt(const std::string& section, const std::string& entry,
                               std::int32_t defaultValue) const;
    // The same into `value`; false, with the reason in `error`, when the
    // file exists but cannot be read (a missing file is no error).
    bool ReadProfileInt(const std::string& section, const std::string& entry,
                        std::int32_t defaultValue, std::int32_t& value, std::string& error) const;
    // False, with the reason in `error`, when the file cannot be read or
    // written; the file is then as it was.
    bool WriteProfileInt(const std::string& section, const std::string& entry, std::int32_t value,
                         std::string& error) const;

    const std::filesystem::path& Path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

}  // namespace wendrel::linux_app
