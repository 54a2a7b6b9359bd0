// Self-test of the written files: sizes, header fields and the sprite colour-key rule.
#pragma once

#include <string>

namespace art {

// Returns the number of problems found (0 = all good); prints each problem.
int check_outputs(const std::string& dir);

}  // namespace art
