#include "app/linux/settings_text.h"

#include <charconv>
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

// The lines, each without its '\n' but with the '\r' of a CRLF ending; a
// last line with no ending takes the file's.
std::vector<std::string> SplitLines(const std::string& text, bool crlf) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + (crlf ? "\r" : ""));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A file whose first line ends in CRLF keeps CRLF for the lines written.
bool UsesCrlf(const std::string& text) {
    const auto end = text.find('\n');
    return end != std::string::npos && end > 0 && text[end - 1] == '\r';
}

}  // namespace

std::optional<std::int32_t> FindSettingValue(const std::string& text, const std::string& section,
                                             const std::string& entry) {
    std::string current, value;
    for (const std::string& line : SplitLines(text, false)) {
        if (IsSectionLine(line, current))
            continue;
        if (current != section || !IsEntryLine(line, entry, value))
            continue;
        std::int32_t number = 0;
        const char* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, number);
        if (ec == std::errc() && ptr == end && !value.empty())
            return number;
        return std::nullopt;
    }
    return std::nullopt;
}

std::string SetSettingValue(const std::string& text, const std::string& section,
                            const std::string& entry, std::int32_t value) {
    const bool crlf = UsesCrlf(text);
    const std::string ending = crlf ? "\r" : "";
    std::vector<std::string> lines = SplitLines(text, crlf);
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
                const bool lineCrlf = !lines[i].empty() && lines[i].back() == '\r';
                lines[i] = assignment + (lineCrlf ? "\r" : "");
                done = true;
            } else if (!Trim(lines[i]).empty()) {
                insertAt = i + 1;
            }
        }
    }
    if (!done) {
        if (!inSection && insertAt == lines.size()) {
            lines.push_back("[" + section + "]" + ending);
            insertAt = lines.size();
        }
        lines.insert(lines.begin() + static_cast<long>(insertAt), assignment + ending);
    }
    std::string data;
    for (const std::string& line : lines)
        data += line + '\n';
    return data;
}

}  // namespace wendrel::linux_app
