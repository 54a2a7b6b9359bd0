#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace wendrel::linux_app {

// The text of a settings file: sections ("[name]") of "entry=value" lines,
// blanks around names and values ignored.

// The value of `entry` in `section` when it is a whole 32-bit number;
// none when it is missing or anything else.
std::optional<std::int32_t> FindSettingValue(const std::string& text, const std::string& section,
                                             const std::string& entry);

// `text` with `entry` in `section` set to `value`: the entry's line
// replaced, or a line added after the section's last one, or the section
// added at the end. Every other line stays as it was, and new lines take
// the file's line endings (CRLF when its first line has them).
std::string SetSettingValue(const std::string& text, const std::string& section,
                            const std::string& entry, std::int32_t value);

}  // namespace wendrel::linux_app
