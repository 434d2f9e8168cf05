// interrupts.cpp - removing temporaries on SIGINT, SIGTERM and SIGHUP.
//
// The handler may only do what is safe in a signal handler: it reads fixed
// slots filled before, unlinks, and raises the signal again with its default
// action.
#include "cli/interrupts.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace cli {
namespace {

constexpr int CLEANUP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int SLOTS = 4;  // the program and the trace, with room to spare

char slot_path[SLOTS][PATH_MAX];
volatile std::sig_atomic_t slot_used[SLOTS];

extern "C" void remove_temporaries_and_end(int signal_number) {
    for (int i = 0; i < SLOTS; ++i) {
        if (slot_used[i] != 0) ::unlink(slot_path[i]);
    }
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

sigset_t cleanup_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : CLEANUP_SIGNALS) sigaddset(&set, s);
    return set;
}

}  // namespace

void install_interrupt_cleanup() {
    struct sigaction action {};
    action.sa_handler = remove_temporaries_and_end;
    sigemptyset(&action.sa_mask);
    for (int s : CLEANUP_SIGNALS) sigaddset(&action.sa_mask, s);
    for (int s : CLEANUP_SIGNALS) ::sigaction(s, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int remember_temporary(const char *path) {
    if (std::strlen(path) >= PATH_MAX) return -1;
    for (int i = 0; i < SLOTS; ++i) {
        if (slot_used[i] != 0) continue;
        std::strcpy(slot_path[i], path);
        slot_used[i] = 1;
        return i;
    }
    return -1;
}

void forget_temporary(int slot) {
    if (slot >= 0 && slot < SLOTS) slot_used[slot] = 0;
}

SignalBlock::SignalBlock() {
    const sigset_t set = cleanup_signal_set();
    ::sigprocmask(SIG_BLOCK, &set, &before_);
}

SignalBlock::~SignalBlock() { ::sigprocmask(SIG_SETMASK, &before_, nullptr); }

void reserve_closed_standard_streams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // Input opened for writing, output for reading: open() takes the
        // lowest free number, which is fd itself.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != fd) ::close(opened);
    }
}

}  // namespace cli
