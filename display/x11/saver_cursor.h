#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wendrel::display {

// A two-colour cursor in SDL's terms: rows top to bottom, leftmost pixel
// in the high bit; data 1 + mask 1 black, data 0 + mask 1 white, mask 0
// transparent (data 1 there inverts the screen).
struct MonoCursor {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> mask;
};

// Decodes the first image of a Windows cursor file (.cur) of one bit per
// pixel: its colour (XOR) bitmap and its transparency (AND) mask.
std::optional<MonoCursor> DecodeMonoCursor(std::span<const std::uint8_t> file, std::string& error);

// The saver windows' cursor, the four-headed arrow, made from the cursor
// file's bytes; null when they cannot be decoded. Released by the caller
// with SDL_FreeCursor.
SDL_Cursor* CreateSaverCursor(std::span<const std::uint8_t> file);

}  // namespace wendrel::display
