#include "cli/child_process.h"

#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char **environ;

namespace cli {

namespace {

std::string temporary_folder() {
    const char *dir = std::getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

std::string read_and_remove(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ::unlink(path.c_str());
    return text.str();
}

}  // namespace

std::string own_executable() {
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    return length > 0 ? std::string(exe, static_cast<std::size_t>(length)) : std::string();
}

bool start_child(const std::vector<std::string> &args, ChildProcess &child, std::string &error) {
    std::string name = temporary_folder() + "/pelk-post-batch-XXXXXX";
    const int error_fd = ::mkstemp(name.data());
    if (error_fd < 0) {
        error = "cannot make a temporary file in " + temporary_folder() + ": " + std::strerror(errno);
        return false;
    }
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
    const int result = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(error_fd);
    if (result != 0) {
        ::unlink(name.c_str());
        error = "cannot start " + args[0] + ": " + std::strerror(result);
        return false;
    }
    child.id = pid;
    child.error_file = name;
    return true;
}

std::size_t wait_for_any(const std::vector<ChildProcess> &running, int &status, std::string &error_text) {
    for (;;) {
        int wait_status = 0;
        const pid_t pid = ::waitpid(-1, &wait_status, 0);
        if (pid < 0 && errno == EINTR) continue;
        for (std::size_t i = 0; i < running.size(); ++i) {
            if (running[i].id != pid) continue;
            status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
            error_text = read_and_remove(running[i].error_file);
            return i;
        }
        if (pid < 0) {  // no child left: cannot happen while running is not empty
            status = -1;
            error_text = std::string("lost the child process: ") + std::strerror(errno);
            return 0;
        }
    }
}

std::size_t max_children() { return 1024; }

unsigned processor_count() {
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<unsigned>(count) : 1u;
}

bool standard_error_is_a_terminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace cli
