// output_file_windows.cpp - the NC program's destination on Windows: a file
// written aside and moved over the target when complete, a device such as
// NUL written directly, or standard output, switched to binary so that the
// program's "\r\n" line ends reach it as they are.
#include "cli/output_file.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/interrupts.h"
#include "cli/output_file_platform.h"

namespace cli {
namespace {

// Creates a new file from pattern (its XXXXXX made unique), remembered for
// removal on Ctrl+C, and opens it in binary mode; nullptr with errno set
// when that fails.
std::FILE *create_unique(const std::filesystem::path &pattern, const char *mode, std::string &created,
                         int &interrupt_slot) {
    const std::string text = pattern.string();
    std::vector<char> name(text.begin(), text.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return nullptr;
    interrupt_slot = remember_temporary(name.data());
    created = name.data();
    ::_setmode(fd, _O_BINARY);
    std::FILE *stream = ::_fdopen(fd, mode);
    if (stream == nullptr) ::_close(fd);
    return stream;
}

}  // namespace

// Binary mode: the C runtime would otherwise turn every "\n" into "\r\n".
bool stdout_takes_bytes_as_they_are() { return ::_setmode(::_fileno(stdout), _O_BINARY) != -1; }

bool OutputFile::open_target(const std::string &target, std::string &error) {
    discard();
    if (target == "-") return open_collected_for_stdout(error);
    name_ = target;
    target_ = target;
    // Anything that exists and is no regular file (NUL, CON) cannot be
    // replaced: it is written directly, or fails if it cannot be.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(target, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return open_in_place(target, error);
    }
    return open_aside(target, std::filesystem::exists(status), 0, error);
}

// Standard output: collected in a temporary file and copied out whole at the
// end, so that a stopped program never reaches standard output in part.  The
// temporary goes to the folder for temporary files (tmpfile would put it at
// the root of the drive, where users may not write).
bool OutputFile::open_collected_for_stdout(std::string &error) {
    is_stdout_ = true;
    name_ = "standard output";
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        error = "cannot write " + name_ + ": no folder for temporary files: " + ec.message();
        return false;
    }
    stream_ = create_unique(folder / "pelk-post.XXXXXX", "w+b", temporary_, interrupt_slot_);
    if (stream_ == nullptr) {
        const int e = last_output_error();
        discard();
        error = output_failure("cannot write", name_, e);
        return false;
    }
    return true;
}

// A regular file, or one that does not exist yet: a hidden temporary beside
// it, moved over it at the commit.  The new file takes the folder's access
// rights, as any file made there.
bool OutputFile::open_aside(const std::string &target, bool, unsigned, std::string &error) {
    std::filesystem::path aside(target);
    aside.replace_filename("." + aside.filename().string() + ".XXXXXX");
    stream_ = create_unique(aside, "wb", temporary_, interrupt_slot_);
    if (stream_ == nullptr) {
        const int e = last_output_error();
        discard();
        error = output_failure("cannot write", name_, e);
        return false;
    }
    return true;
}

// 1. flush, 2. commit a temporary to the disk, 3. close, 4. move it over the
// target in one step.
bool OutputFile::commit_file(std::string &error) {
    std::FILE *file = stream_;
    stream_ = nullptr;
    int e = 0;
    errno = 0;
    if (std::fflush(file) != 0 || std::ferror(file)) e = last_output_error();
    if (e == 0 && !temporary_.empty() && ::_commit(::_fileno(file)) != 0) e = last_output_error();
    if (std::fclose(file) != 0 && e == 0) e = last_output_error();
    if (e != 0) {
        discard();
        error = output_failure("cannot write", name_, e);
        return false;
    }
    if (!temporary_.empty()) {
        std::error_code ec;
        std::filesystem::rename(temporary_, target_, ec);
        if (ec) {
            discard();
            error = "cannot write " + name_ + ": " + ec.message();
            return false;
        }
        forget_temporary(interrupt_slot_);
        interrupt_slot_ = -1;
        temporary_.clear();
    }
    return true;
}

}  // namespace cli
