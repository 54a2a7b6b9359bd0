#pragma once

#include <optional>
#include <string>

namespace wendrel {

// The page file through which the program for web pages is found.
inline constexpr const char* kPageFileName = "aaa.htm";

// The platform's side of the home-page link: files in the current
// directory, and the desktop's program for web pages.
class CHomePageCalls {
  public:
    virtual ~CHomePageCalls() = default;

    // Opens `file` for reading and closes it again; false when it cannot.
    virtual bool OpenExisting(const char* file) = 0;
    // Makes `file`, empty, but never over one that exists, even one that
    // cannot be opened; true when it was made.
    virtual bool CreateNew(const char* file) = 0;
    // The program that opens `file`, when there is one.
    virtual std::optional<std::string> FindProgram(const char* file) = 0;
    // Starts `program` once with `address` as its only argument.
    virtual void Start(const std::string& program, const char* address) = 0;
    virtual void Delete(const char* file) = 0;
};

// Finds the program that opens kPageFileName in the current directory,
// making that file (empty) only when none exists and deleting it afterwards
// only when it was made here, and starts the program once with `address`.
// Nothing is started when no program is found. True when one was started.
bool OpenHomePage(CHomePageCalls& calls, const char* address);

}  // namespace wendrel
