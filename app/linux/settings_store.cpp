#include "app/linux/settings_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "app/linux/settings_file.h"
#include "app/linux/settings_text.h"

namespace wendrel::linux_app {

CSettingsStore::CSettingsStore(std::filesystem::path configHome, std::string company,
                               std::string program)
    : m_path(std::move(configHome) / company / (program + ".conf")) {}

std::filesystem::path CSettingsStore::DefaultConfigHome() {
    // The XDG rules: only an absolute path counts, anything else is ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return xdg;
    return HomeDirectory() / ".config";
}

std::filesystem::path CSettingsStore::HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return home;
    // Started with no HOME at all (a daemon's trimmed environment): the
    // user's home as the password database has it.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] != '\0')
        return found->pw_dir;
    return ".";
}

std::string CSettingsStore::ProgramName(const std::string& argv0) {
    std::string name = std::filesystem::path(argv0).filename().string();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0)
        name.erase(dot);
    return name.empty() ? "wendrel" : name;
}

std::int32_t CSettingsStore::GetProfileInt(const std::string& section, const std::string& entry,
                                           std::int32_t defaultValue) const {
    std::int32_t value = defaultValue;
    std::string ignored;
    ReadProfileInt(section, entry, defaultValue, value, ignored);
    return value;
}

bool CSettingsStore::ReadProfileInt(const std::string& section, const std::string& entry,
                                    std::int32_t defaultValue, std::int32_t& value,
                                    std::string& error) const {
    value = defaultValue;
    FileContents contents;
    if (!ReadSmallFile(m_path, kMaxFileSize, contents, error))
        return false;
    value = FindSettingValue(contents.text, section, entry).value_or(defaultValue);
    return true;
}

bool CSettingsStore::WriteProfileInt(const std::string& section, const std::string& entry,
                                     std::int32_t value, std::string& error) const {
    std::filesystem::path target;
    if (!ResolveLinks(m_path, target, error))
        return false;
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (ec) {
        error = "cannot write " + target.string() + ": " + ec.message();
        return false;
    }
    CWriteLock lock;
    if (!lock.Take(target, error))
        return false;
    FileContents old;
    if (!ReadSmallFile(target, kMaxFileSize, old, error)) {
        error += "; it is left as it is";
        return false;
    }
    return ReplaceFile(target, SetSettingValue(old.text, section, entry, value), old, error);
}

}  // namespace wendrel::linux_app
