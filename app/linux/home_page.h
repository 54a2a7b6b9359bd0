#pragma once

#include <functional>
#include <optional>
#include <string>

#include "saver/home_page_link.h"

namespace wendrel::linux_app {

// How the desktop is asked about web pages: which program opens a file,
// and starting that program with one argument.
struct WebPageHandler {
    std::function<std::optional<std::string>(const std::string& file)> findProgram;
    std::function<void(const std::string& program, const std::string& argument)> start;
};

// The home-page link (OpenHomePage of home_page_link.h) on this system's
// files and the desktop's web-page handler. True when a program was
// started.
bool OpenHomePage(const WebPageHandler& handler, const std::string& address);

}  // namespace wendrel::linux_app
