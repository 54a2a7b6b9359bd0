#pragma once

#include <optional>
#include <string>

#include "app/linux/home_page.h"

namespace wendrel::linux_app {

// The program the desktop opens `file` with, looked up by the file's name
// as GIO's default application for its content type: the full path of its
// executable, or nothing when the file does not exist or no program is
// set for that type.
std::optional<std::string> FindWebPageProgram(const std::string& file);

// Starts `program` with `argument` as its one and only argument, without
// waiting for it. A program that cannot be started is ignored.
void StartWebPageProgram(const std::string& program, const std::string& argument);

// The desktop's web-page handler, over GIO.
WebPageHandler GioWebPageHandler();

}  // namespace wendrel::linux_app
