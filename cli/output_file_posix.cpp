// output_file_posix.cpp - write aside, sync, rename; or write a device directly.
#include "cli/output_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {
namespace {

std::string failure(const std::string &what, const std::string &name, int error_number) {
    return what + " " + name + ": " + std::strerror(error_number);
}

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

// Copies the collected program to standard output; answers 0 or the error.
int copy_to_stdout(std::FILE *collected) {
    if (std::fflush(collected) != 0 || std::ferror(collected)) return errno != 0 ? errno : EIO;
    std::rewind(collected);
    char chunk[1 << 16];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, collected)) > 0) {
        if (std::fwrite(chunk, 1, n, stdout) != n) return errno != 0 ? errno : EIO;
    }
    if (std::ferror(collected)) return errno != 0 ? errno : EIO;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return errno != 0 ? errno : EIO;
    return 0;
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::string &target, std::string &error) {
    discard();
    if (target == "-") {
        // Collected in an anonymous file and copied out whole at the end, so
        // that a stopped program never reaches standard output in part.
        is_stdout_ = true;
        name_ = "standard output";
        stream_ = std::tmpfile();
        if (stream_ == nullptr) {
            error = failure("cannot write", name_, errno);
            return false;
        }
        return true;
    }
    name_ = target;
    target_ = target;

    struct stat info {};
    bool exists = ::stat(target.c_str(), &info) == 0;
    // /dev/stdout and its kin name an open descriptor; when that is a regular
    // file (standard output redirected by the shell), renaming over the path
    // would replace the file the shell opened instead of writing into it.
    std::error_code ec;
    std::string real = exists ? std::filesystem::canonical(target, ec).string() : "";
    bool descriptor = target.rfind("/dev/", 0) == 0 || real.rfind("/proc/", 0) == 0;
    if (exists && (!S_ISREG(info.st_mode) || descriptor)) {
        // A device, a FIFO or an open descriptor: it cannot be renamed over,
        // so write it directly.  Appending keeps what the shell asked for with
        // ">>" and makes no difference to a device.
        stream_ = std::fopen(target.c_str(), "ab");
        if (stream_ == nullptr) {
            error = failure("cannot open", name_, errno);
            return false;
        }
        return true;
    }
    // A symbolic link to a file: replace the file, keep the link.
    struct stat link_info {};
    if (exists && ::lstat(target.c_str(), &link_info) == 0 && S_ISLNK(link_info.st_mode) && !real.empty()) {
        target_ = real;
    }

    std::filesystem::path aside = std::filesystem::path(target_);
    std::string hidden_name = ".";
    hidden_name += aside.filename().native();
    hidden_name += ".XXXXXX";
    aside.replace_filename(hidden_name);
    std::string pattern = aside.string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = failure("cannot write", name_, errno);
        return false;
    }
    temporary_ = name.data();
    // mkstemp makes the file private; give it the target's permissions, or
    // those of a new file.
    mode_t mode;
    if (exists) {
        mode = info.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    (void)::fchmod(fd, mode);
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        int e = errno;
        ::close(fd);
        discard();
        error = failure("cannot write", name_, e);
        return false;
    }
    return true;
}

bool OutputFile::commit(std::string &error) {
    if (stream_ == nullptr) {
        error = "no output open";
        return false;
    }
    if (is_stdout_) {
        const int e = copy_to_stdout(stream_);
        discard();
        if (e != 0) {
            error = failure("cannot write", name_, e);
            return false;
        }
        return true;
    }
    std::FILE *file = stream_;
    stream_ = nullptr;
    int e = 0;
    if (std::fflush(file) != 0 || std::ferror(file)) e = errno != 0 ? errno : EIO;
    if (e == 0 && !temporary_.empty() && ::fsync(::fileno(file)) != 0) e = errno;
    if (std::fclose(file) != 0 && e == 0) e = errno;
    if (e == 0 && !temporary_.empty()) {
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
            e = errno;
        } else {
            temporary_.clear();
            sync_directory_of(target_);
        }
    }
    if (e != 0) {
        discard();
        error = failure("cannot write", name_, e);
        return false;
    }
    return true;
}

void OutputFile::discard() {
    if (stream_ != nullptr) std::fclose(stream_);
    stream_ = nullptr;
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace cli
