#pragma once

#include <string_view>

namespace wendrel {

// True when `arg`, after one leading '-' or '/' is dropped, equals `word`
// with the letter case of ASCII letters ignored.
bool IsSwitch(std::string_view arg, std::string_view word);

}  // namespace wendrel
