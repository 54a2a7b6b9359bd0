#pragma once

namespace wendrel::linux_app {

// SIGTERM and SIGINT (how the screen-saver daemon and a terminal end a
// hack) only raise a flag that the window thread's loop reads.
void InstallStopSignals();
bool StopSignalled();
// When a stop signal was caught, ends the process by that signal with its
// default action, so that whoever started it sees how it ended; call it
// once everything is given back. Returns when none was caught.
void EndByStopSignal();

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
