// output_file_windows.cpp - the NC program's destination on Windows: a file
// written aside and moved over the target when complete, a device such as
// NUL written directly, or standard output, switched to binary so that the
// program's line ends reach it as they are.
#include "cli/output_file.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace cli {
namespace {

std::string failure(const std::string &what, const std::string &name, int error_number) {
    return what + " " + name + ": " + std::strerror(error_number);
}

// Copies the collected program to standard output; answers 0 or the error.
int copy_to_stdout(std::FILE *collected) {
    if (std::fflush(collected) != 0 || std::ferror(collected)) return errno != 0 ? errno : EIO;
    std::rewind(collected);
    if (_setmode(_fileno(stdout), _O_BINARY) == -1) return errno != 0 ? errno : EIO;
    char chunk[1 << 16];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, collected)) > 0) {
        if (std::fwrite(chunk, 1, n, stdout) != n) return errno != 0 ? errno : EIO;
    }
    if (std::ferror(collected)) return errno != 0 ? errno : EIO;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return errno != 0 ? errno : EIO;
    return 0;
}

// Creates a new file from pattern (its XXXXXX made unique) and opens it in
// binary mode; nullptr with errno set when that fails.
std::FILE *create_unique(const std::filesystem::path &pattern, const char *mode, std::string &created) {
    const std::string text = pattern.string();
    std::vector<char> name(text.begin(), text.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return nullptr;
    _setmode(fd, _O_BINARY);
    std::FILE *stream = ::_fdopen(fd, mode);
    if (stream == nullptr) {
        const int e = errno;
        ::_close(fd);
        std::remove(name.data());
        errno = e;
        return nullptr;
    }
    created = name.data();
    return stream;
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::string &target, std::string &error) {
    discard();
    if (target == "-") {
        // Collected in a temporary file and copied out whole at the end, so
        // that a stopped program never reaches standard output in part.
        // (tmpfile would put it at the root of the drive, where users may
        // not write.)
        is_stdout_ = true;
        name_ = "standard output";
        std::error_code ec;
        const std::filesystem::path directory = std::filesystem::temp_directory_path(ec);
        if (ec) {
            error = "cannot write " + name_ + ": no folder for temporary files: " + ec.message();
            return false;
        }
        stream_ = create_unique(directory / "pelk-post.XXXXXX", "w+b", temporary_);
        if (stream_ == nullptr) {
            error = failure("cannot write", name_, errno);
            return false;
        }
        return true;
    }
    name_ = target;
    target_ = target;

    // Anything that exists and is no regular file (NUL, CON, a directory)
    // cannot be replaced: it is opened directly, and fails if it cannot be.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(target, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        stream_ = std::fopen(target.c_str(), "ab");
        if (stream_ == nullptr) {
            error = failure("cannot open", name_, errno);
            return false;
        }
        return true;
    }

    // The program is written to a hidden file beside the target.
    std::filesystem::path aside(target);
    aside.replace_filename("." + aside.filename().string() + ".XXXXXX");
    stream_ = create_unique(aside, "wb", temporary_);
    if (stream_ == nullptr) {
        error = failure("cannot write", name_, errno);
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
    if (e == 0 && !temporary_.empty() && ::_commit(::_fileno(file)) != 0) e = errno;
    if (std::fclose(file) != 0 && e == 0) e = errno;
    if (e != 0) {
        discard();
        error = failure("cannot write", name_, e);
        return false;
    }
    if (!temporary_.empty()) {
        // Replaces an existing target in one step.
        std::error_code ec;
        std::filesystem::rename(temporary_, target_, ec);
        if (ec) {
            discard();
            error = "cannot write " + name_ + ": " + ec.message();
            return false;
        }
        temporary_.clear();
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
