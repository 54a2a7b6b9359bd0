#pragma once

#include <functional>
#include <optional>
#include <string>

namespace wendrel::linux_app {

// How the desktop is asked about web pages: which program opens a file,
// and starting that program with one argument.
struct WebPageHandler {
    std::function<std::optional<std::string>(const std::string& file)> findProgram;
    std::function<void(const std::string& program, const std::string& argument)> start;
};

// The page file through which the program for web pages is found.
extern const char* const kPageFileName;

// Finds the program that opens "aaa.htm" in the current directory, making
// that file (empty) only when none exists and deleting it afterwards only
// when it was made here, and starts the program once with `address`.
// Nothing is started when no program is found. True when one was started.
bool OpenHomePage(const WebPageHandler& handler, const std::string& address);

// What a stored setting shows in a two-state check box when the dialog
// opens: values outside 0 ... 2 load as 0 (clear); 1 and 2 are checked.
int LoadCheckState(int stored);

}  // namespace wendrel::linux_app
