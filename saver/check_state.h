#pragma once

namespace wendrel {

// What a stored setting shows in a check box when the dialog opens: values
// outside 0 ... 2 load as 0 (clear); 1 and 2 are checked.
int LoadCheckState(int stored);

}  // namespace wendrel
