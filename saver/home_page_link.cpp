#include "saver/home_page_link.h"

namespace wendrel {

bool OpenHomePage(CHomePageCalls& calls, const char* address) {
    const bool created = !calls.OpenExisting(kPageFileName) && calls.CreateNew(kPageFileName);
    const std::optional<std::string> program = calls.FindProgram(kPageFileName);
    if (program)
        calls.Start(*program, address);
    if (created)
        calls.Delete(kPageFileName);
    return program.has_value();
}

}  // namespace wendrel
