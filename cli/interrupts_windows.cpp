// interrupts_windows.cpp - removing temporaries on Ctrl+C, Ctrl+Break and
// SIGTERM.  Windows has no signal mask: a temporary created in the moment
// before it is remembered is left behind, as by any other hard stop.
#include "cli/interrupts.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <csignal>

namespace cli {
namespace {

constexpr int CLEANUP_SIGNALS[] = {SIGINT, SIGBREAK, SIGTERM};

// Windows sends Ctrl+C and Ctrl+Break to every process of the console, the
// children too: this run waits for them to end.
void wait_for_child(long long id) { WaitForSingleObject(reinterpret_cast<HANDLE>(id), INFINITE); }

extern "C" void remove_temporaries_and_end(int signal_number) {
    for_each_remembered_child(wait_for_child);
    remove_remembered_temporaries();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

}  // namespace

void install_interrupt_cleanup() {
    for (int s : CLEANUP_SIGNALS) std::signal(s, remove_temporaries_and_end);
}

SignalBlock::SignalBlock() {}

SignalBlock::~SignalBlock() {}

void reserve_closed_standard_streams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::_get_osfhandle(fd) != -1) continue;
        // The lowest free number is fd itself.
        const int opened = ::_open("NUL", fd == 0 ? _O_WRONLY : _O_RDONLY);
        if (opened >= 0 && opened != fd) ::_close(opened);
    }
}

}  // namespace cli
