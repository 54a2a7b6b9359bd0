#include "saver/command_switch.h"

namespace wendrel {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool IsSwitch(std::string_view arg, std::string_view word) {
    if (!arg.empty() && (arg[0] == '-' || arg[0] == '/'))
        arg.remove_prefix(1);
    if (arg.size() != word.size())
        return false;
    for (std::size_t i = 0; i < arg.size(); ++i) {
        if (Lower(arg[i]) != Lower(word[i]))
            return false;
    }
    return true;
}

ESaverMode ChooseSaverMode(std::string_view first) {
    if (IsSwitch(first, "p"))
        return ESaverMode::Preview;
    if (IsSwitch(first, "s"))
        return ESaverMode::FullScreen;
    return ESaverMode::Config;
}

}  // namespace wendrel
