// child_process.h - running pelk-post itself once per job of a batch, each
// job in a process of its own, so that no job's module state can reach
// another's.  One implementation per platform (child_process_posix.cpp,
// child_process_windows.cpp).
#pragma once

#include <string>
#include <vector>

namespace cli {

// A running child: its standard error goes to a temporary file, read once
// it has ended.  While it runs, a signal that stops this process stops the
// child first (see remember_child in interrupts.h).
struct ChildProcess {
    long long id = 0;            // the platform's handle or process id
    std::string error_file;      // where its standard error goes (Windows)
    int error_fd = -1;           // the same, a file already removed from its folder (POSIX)
    int slot = -1;               // where it is remembered for a signal
};

// The path of the running executable, or "" when the platform cannot tell.
std::string own_executable();

// Starts the executable with args (args[0] is the executable) and standard
// input and output on the null device.  False with the reason in error.
bool start_child(const std::vector<std::string> &args, ChildProcess &child, std::string &error);

// Waits until one of the running children ends; answers its place in
// running and sets its exit status (-1 when it did not exit normally) and
// what it wrote to standard error, its temporary file removed.
std::size_t wait_for_any(const std::vector<ChildProcess> &running, int &status, std::string &error_text);

// The most children that wait_for_any can wait for at once.
std::size_t max_children();

// The number of processor cores the system has online, at least 1.
unsigned processor_count();

// True when standard error is a terminal (a progress line may be shown).
bool standard_error_is_a_terminal();

}  // namespace cli
