// output_file_posix.cpp - write aside, sync, rename; or write a device directly.
#include "cli/output_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/interrupts.h"
#include "cli/output_file_platform.h"
#include "cli/path_kind.h"

namespace cli {
namespace {

// Syncs the directory that holds path, so that a rename survives a crash.
// Best effort: some file systems do not allow it.
void sync_directory_of(const std::string &path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::filesystem::path dir = parent.empty() ? std::filesystem::path(".") : parent;
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// The hidden name of the temporary beside target: ".name.XXXXXX".
std::vector<char> temporary_pattern(const std::string &target) {
    std::filesystem::path aside(target);
    std::string hidden_name = ".";
    hidden_name += aside.filename().native();
    hidden_name += ".XXXXXX";
    aside.replace_filename(hidden_name);
    const std::string pattern = aside.string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return name;
}

// The permissions of a new file under the process's umask.
mode_t new_file_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool stdout_takes_bytes_as_they_are() { return true; }

bool OutputFile::open_target(const std::string &target, std::string &error) {
    discard();
    if (target == "-") return open_collected_for_stdout(error);
    name_ = target;
    target_ = target;

    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    // /dev/stdout and its kin name an open descriptor; when that is a regular
    // file (standard output redirected by the shell), renaming over the path
    // would replace the file the shell opened instead of writing into it.
    std::error_code ec;
    const std::string real = exists ? std::filesystem::canonical(target, ec).string() : "";
    if (exists && (!S_ISREG(info.st_mode) || names_a_descriptor(target) || names_a_descriptor(real))) {
        return open_in_place(target, error);
    }
    // A symbolic link to a file: replace the file, keep the link.
    struct stat link_info {};
    if (exists && ::lstat(target.c_str(), &link_info) == 0 && S_ISLNK(link_info.st_mode) && !real.empty()) {
        target_ = real;
    }
    return open_aside(target_, exists, info.st_mode & 07777, error);
}

// Standard output: collected in an anonymous file and copied out whole at
// the end, so that a stopped program never reaches standard output in part.
bool OutputFile::open_collected_for_stdout(std::string &error) {
    is_stdout_ = true;
    name_ = "standard output";
    stream_ = std::tmpfile();
    if (stream_ == nullptr) {
        error = output_failure("cannot write", name_, last_output_error());
        return false;
    }
    return true;
}

// A regular file, or one that does not exist yet: a hidden temporary beside
// it, with the target's permissions (or those of a new file), renamed over it
// at the commit.
bool OutputFile::open_aside(const std::string &target, bool exists, unsigned mode_of_target, std::string &error) {
    std::vector<char> name = temporary_pattern(target);
    int fd;
    {
        SignalBlock no_signal_before_remembered;
        fd = ::mkstemp(name.data());
        if (fd >= 0) interrupt_slot_ = remember_temporary(name.data());
    }
    if (fd < 0) {
        error = output_failure("cannot write", name_, last_output_error());
        return false;
    }
    temporary_ = name.data();
    (void)::fchmod(fd, exists ? static_cast<mode_t>(mode_of_target) : new_file_mode());
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        const int e = last_output_error();
        ::close(fd);
        discard();
        error = output_failure("cannot write", name_, e);
        return false;
    }
    return true;
}

// 1. flush, 2. sync a temporary, 3. close, 4. rename the temporary into place.
bool OutputFile::commit_file(std::string &error) {
    std::FILE *file = stream_;
    stream_ = nullptr;
    int e = 0;
    errno = 0;
    if (std::fflush(file) != 0 || std::ferror(file)) e = last_output_error();
    if (e == 0 && !temporary_.empty() && ::fsync(::fileno(file)) != 0) e = errno;
    if (std::fclose(file) != 0 && e == 0) e = last_output_error();
    if (e == 0 && !temporary_.empty()) {
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
            e = errno;
        } else {
            forget_temporary(interrupt_slot_);
            interrupt_slot_ = -1;
            temporary_.clear();
            sync_directory_of(target_);
        }
    }
    if (e != 0) {
        discard();
        error = output_failure("cannot write", name_, e);
        return false;
    }
    return true;
}

}  // namespace cli
