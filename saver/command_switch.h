#pragma once

#include <string_view>

namespace wendrel {

// True when `arg`, after one leading '-' or '/' is dropped, equals `word`
// with the letter case of ASCII letters ignored.
bool IsSwitch(std::string_view arg, std::string_view word);

// What the first command-line argument asks of a screen saver.
enum class ESaverMode { Preview, FullScreen, Config };

// The saver's modes by their switch: "p" (preview) is tested before "s"
// (full screen); anything else, an empty or a missing argument included, is
// the configuration dialog. A front end tests its own further modes where
// this gives Config.
ESaverMode ChooseSaverMode(std::string_view first);

}  // namespace wendrel
