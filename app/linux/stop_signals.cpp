#include "app/linux/stop_signals.h"

#include <pthread.h>

#include <csignal>

namespace wendrel::linux_app {
namespace {

volatile std::sig_atomic_t stopSignal = 0;

void OnStopSignal(int signal) {
    stopSignal = signal;
}

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // The loop reads the flag after each wait, whose timeout bounds how long
    // a stop takes to be seen.
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool StopSignalled() {
    return stopSignal != 0;
}

void EndByStopSignal() {
    const int signal = stopSignal;
    if (signal == 0)
        return;
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
}

CStopSignalBlock::CStopSignalBlock() {
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

CStopSignalBlock::~CStopSignalBlock() {
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace wendrel::linux_app
