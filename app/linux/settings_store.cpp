#include "settings_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace wendrel::linux_app {
namespace {

std::string Trim(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return "";
    const auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool IsSectionLine(const std::string& line, std::string& name) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    name = Trim(t.substr(1, t.size() - 2));
    return true;
}

bool IsEntryLine(const std::string& line, const std::string& entry, std::string& value) {
    const auto eq = line.find('=');
    if (eq == std::string::npos || Trim(line.substr(0, eq)) != entry)
        return false;
    value = Trim(line.substr(eq + 1));
    return true;
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

CSettingsStore::CSettingsStore(std::filesystem::path configHome, std::string company,
                               std::string program)
    : m_path(std::move(configHome) / company / (program + ".conf")) {}

std::filesystem::path CSettingsStore::DefaultConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg != '\0')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".config";
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
    std::string current, value;
    for (const std::string& line : ReadLines(m_path)) {
        if (IsSectionLine(line, current))
            continue;
        if (current != section || !IsEntryLine(line, entry, value))
            continue;
        std::int32_t number = 0;
        const char* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, number);
        return ec == std::errc() && ptr == end && !value.empty() ? number : defaultValue;
    }
    return defaultValue;
}

bool CSettingsStore::WriteProfileInt(const std::string& section, const std::string& entry,
                                     std::int32_t value, std::string& error) const {
    std::vector<std::string> lines = ReadLines(m_path);
    const std::string assignment = entry + "=" + std::to_string(value);
    std::string current, old;
    bool inSection = false, done = false;
    std::size_t insertAt = lines.size();
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
        if (IsSectionLine(lines[i], current)) {
            if (inSection)
                break;  // end of our section
            inSection = current == section;
            if (inSection)
                insertAt = i + 1;
            continue;
        }
        if (inSection) {
            if (IsEntryLine(lines[i], entry, old)) {
                lines[i] = assignment;
                done = true;
            } else if (!Trim(lines[i]).empty()) {
                insertAt = i + 1;
            }
        }
    }
    if (!done) {
        if (!inSection && insertAt == lines.size()) {
            lines.push_back("[" + section + "]");
            insertAt = lines.size();
        }
        lines.insert(lines.begin() + static_cast<long>(insertAt), assignment);
    }
    std::ostringstream text;
    for (const std::string& line : lines)
        text << line << '\n';
    const std::string data = text.str();

    // Written beside the file and renamed over it: a crash leaves either
    // the old file or the new one, never half of one.
    std::error_code ec;
    std::filesystem::create_directories(m_path.parent_path(), ec);
    const std::string temp = m_path.string() + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot write " + m_path.string() + ": " + std::strerror(errno);
        return false;
    }
    bool ok = ::write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size()) &&
              ::fsync(fd) == 0;
    const int savedErrno = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(temp.c_str(), m_path.c_str()) == 0)
        return true;
    error = "cannot write " + m_path.string() + ": " + std::strerror(ok ? errno : savedErrno);
    ::unlink(temp.c_str());
    return false;
}

}  // namespace wendrel::linux_app
