#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace wendrel::linux_app {

// The per-user store of named 32-bit integers: one file per program,
// "<config home>/<company>/<program>.conf", in sections of "entry=value"
// lines. A read that fails for any reason gives the default; a write
// replaces the file in one step and keeps its other lines.
class CSettingsStore {
  public:
    CSettingsStore(std::filesystem::path configHome, std::string company, std::string program);

    // $XDG_CONFIG_HOME, or ~/.config when it is unset or empty.
    static std::filesystem::path DefaultConfigHome();
    // The program's name as the settings know it: the file name of
    // `argv0` without its directory and without its extension.
    static std::string ProgramName(const std::string& argv0);

    std::int32_t GetProfileInt(const std::string& section, const std::string& entry,
                               std::int32_t defaultValue) const;
    // False, with the reason in `error`, when the file cannot be written.
    bool WriteProfileInt(const std::string& section, const std::string& entry, std::int32_t value,
                         std::string& error) const;

    const std::filesystem::path& Path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

}  // namespace wendrel::linux_app
