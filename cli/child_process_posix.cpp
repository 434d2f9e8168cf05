// child_process_posix.cpp - the runs of a batch as processes of their own,
// started with posix_spawn and stopped with the batch.
#include "cli/child_process.h"

#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "cli/interrupts.h"

extern char **environ;

namespace cli {

namespace {

std::string temporary_folder() {
    const char *dir = std::getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

// What a child wrote to the file of its standard error, read from its start.
std::string read_and_close(int fd) {
    std::string text;
    char buffer[4096];
    ::lseek(fd, 0, SEEK_SET);
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

}  // namespace

std::string own_executable() {
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    return length > 0 ? std::string(exe, static_cast<std::size_t>(length)) : std::string();
}

bool start_child(const std::vector<std::string> &args, ChildProcess &child, std::string &error) {
    // The file of its standard error is removed from its folder at once:
    // nothing is left behind, however this run ends.
    std::string name = temporary_folder() + "/pelk-post-batch-XXXXXX";
    const int error_fd = ::mkstemp(name.data());
    if (error_fd < 0) {
        error = "cannot make a temporary file in " + temporary_folder() + ": " + std::strerror(errno);
        return false;
    }
    ::unlink(name.c_str());
    // No signal between starting the child and remembering it; the child
    // itself starts with the cleanup signals open, whatever this run blocks.
    SignalBlock block;
    sigset_t child_mask;
    ::pthread_sigmask(SIG_BLOCK, nullptr, &child_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigdelset(&child_mask, s);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigmask(&attributes, &child_mask);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, error_fd, STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, error_fd);
    std::vector<char *> argv;
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int result = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        ::close(error_fd);
        error = "cannot start " + args[0] + ": " + std::strerror(result);
        return false;
    }
    child.id = pid;
    child.error_fd = error_fd;
    child.slot = remember_child(pid);
    return true;
}

std::size_t wait_for_any(const std::vector<ChildProcess> &running, int &status, std::string &error_text) {
    for (;;) {
        // The child that ended is left unreaped until it is forgotten, so that
        // a signal never reaches another process that took its id.
        siginfo_t ended{};
        if (::waitid(P_ALL, 0, &ended, WEXITED | WNOWAIT) != 0) {
            if (errno == EINTR) continue;
            status = -1;  // no child left: cannot happen while running is not empty
            error_text = std::string("lost the child process: ") + std::strerror(errno);
            return 0;
        }
        const pid_t pid = ended.si_pid;
        int wait_status = 0;
        for (std::size_t i = 0; i < running.size(); ++i) {
            if (running[i].id != pid) continue;
            {
                SignalBlock block;
                forget_child(running[i].slot);
                ::waitpid(pid, &wait_status, 0);
            }
            status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
            error_text = read_and_close(running[i].error_fd);
            return i;
        }
        ::waitpid(pid, &wait_status, 0);  // not a run of this batch
    }
}

std::size_t max_children() { return 1024; }

unsigned processor_count() {
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<unsigned>(count) : 1u;
}

bool standard_error_is_a_terminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace cli
