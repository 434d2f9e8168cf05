// interrupts_posix.cpp - stopping children and removing temporaries on SIGINT,
// SIGTERM and SIGHUP.
//
// The handler may only do what is safe in a signal handler: it passes the
// signal on to the remembered children and waits for them, removes the
// remembered temporaries and raises the signal again with its default action.
#include "cli/interrupts.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cli {
namespace {

constexpr int CLEANUP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

// The signal being handled, for the children.
volatile std::sig_atomic_t passed_on = 0;

void signal_child(long long id) { ::kill(static_cast<pid_t>(id), static_cast<int>(passed_on)); }

void wait_for_child(long long id) {
    while (::waitpid(static_cast<pid_t>(id), nullptr, 0) < 0 && errno == EINTR) {
    }
}

extern "C" void remove_temporaries_and_end(int signal_number) {
    // A batch's runs get the signal too, and end (removing their own
    // temporaries) before this run does.
    passed_on = signal_number;
    for_each_remembered_child(signal_child);
    for_each_remembered_child(wait_for_child);
    remove_remembered_temporaries();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// The signal mask before the outermost SignalBlock, put back when it ends.
sigset_t mask_before_block;
int block_depth = 0;

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

SignalBlock::SignalBlock() {
    if (block_depth++ > 0) return;
    const sigset_t set = cleanup_signal_set();
    ::sigprocmask(SIG_BLOCK, &set, &mask_before_block);
}

SignalBlock::~SignalBlock() {
    if (--block_depth == 0) ::sigprocmask(SIG_SETMASK, &mask_before_block, nullptr);
}

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
