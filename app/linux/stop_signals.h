#pragma once

namespace wendrel::linux_app {

// SIGTERM and SIGINT (how the screen-saver daemon and a terminal end a
// hack) only raise a flag that the window thread's loop reads.
void InstallStopSignals();
bool StopSignalled();

// Keeps the stop signals away from the calling thread while it lives, so
// that threads started meanwhile inherit the block and the handler always
// runs on the window thread.
class CStopSignalBlock {
  public:
    CStopSignalBlock();
    ~CStopSignalBlock();
    CStopSignalBlock(const CStopSignalBlock&) = delete;
    CStopSignalBlock& operator=(const CStopSignalBlock&) = delete;
};

}  // namespace wendrel::linux_app
