#pragma once

#include <string>
#include <utility>
#include <vector>

namespace wendrel::test {

// A command line as the C runtime hands it to the program: "wendrel.scr",
// then the arguments, then a null.
class CCommandArgs {
  public:
    explicit CCommandArgs(std::vector<std::string> args) : m_args(std::move(args)) {
        m_args.insert(m_args.begin(), "wendrel.scr");
        for (auto& arg : m_args)
            m_argv.push_back(arg.data());
        m_argv.push_back(nullptr);
    }
    CCommandArgs(const CCommandArgs&) = delete;
    CCommandArgs& operator=(const CCommandArgs&) = delete;

    int Count() const { return static_cast<int>(m_args.size()); }
    char* const* Values() const { return m_argv.data(); }

  private:
    std::vector<std::string> m_args;
    std::vector<char*> m_argv;
};

}  // namespace wendrel::test
