// interrupts.h - a run stopped by a signal leaves no hidden temporary behind,
// and files the tool opens never take the numbers of closed standard streams.
#pragma once

namespace cli {

// Installs the handlers: SIGINT, SIGTERM and SIGHUP (Ctrl+Break on Windows)
// pass the signal on to every remembered child and wait for them, remove
// every remembered temporary and then end the process as the signal would;
// SIGPIPE is ignored, so that a closed pipe fails a write instead of killing
// the run.
void install_interrupt_cleanup();

// Remembers a temporary for removal on a signal; answers its slot, or -1 when
// every slot is taken (then it is only removed by the run itself).  Call with
// the signals blocked (SignalBlock) between creating the file and this.
int remember_temporary(const char *path);

// Forgets a remembered temporary (renamed into place or removed already).
void forget_temporary(int slot);

// Removes every remembered temporary; safe in a signal handler.  The
// platform's handler calls it (interrupts_posix.cpp, interrupts_windows.cpp).
void remove_remembered_temporaries();

// Remembers a running child (a batch's run of one job: its process id, or
// its handle on Windows), so that a signal that stops this run stops it too
// and no program of it appears after this run has ended; answers its slot,
// or -1 when every slot is taken.  Call with the signals blocked between
// starting the child and this.
int remember_child(long long id);

// Forgets a remembered child (it has ended and is about to be reaped).
void forget_child(int slot);

// Calls stop(id) for every remembered child; safe in a signal handler.
void for_each_remembered_child(void (*stop)(long long id));

// Blocks the cleanup signals while it lives, so that a temporary is never
// created without being remembered.  Blocks may nest.
class SignalBlock {
public:
    SignalBlock();
    ~SignalBlock();
    SignalBlock(const SignalBlock &) = delete;
    SignalBlock &operator=(const SignalBlock &) = delete;
};

// A closed standard input, output or error gets /dev/null opened the wrong
// way round on its number: every use of it fails (EBADF) as it would on the
// closed stream, and no file the tool opens later lands on that number.
void reserve_closed_standard_streams();

}  // namespace cli
