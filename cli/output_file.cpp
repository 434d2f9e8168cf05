// output_file.cpp - what the NC program's destination does the same way on
// every platform: writing a device in place, handing the collected program
// to standard output, and giving the output up.
#include "cli/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/interrupts.h"
#include "cli/output_file_platform.h"

namespace cli {

std::string output_failure(const std::string &what, const std::string &name, int error_number) {
    return what + " " + name + ": " + std::strerror(error_number);
}

int last_output_error() { return errno != 0 ? errno : EIO; }

namespace {

// Copies the collected program to standard output; answers 0 or the error.
int copy_to_stdout(std::FILE *collected) {
    errno = 0;
    if (std::fflush(collected) != 0 || std::ferror(collected)) return last_output_error();
    std::rewind(collected);
    if (!stdout_takes_bytes_as_they_are()) return last_output_error();
    char chunk[1 << 16];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, collected)) > 0) {
        if (std::fwrite(chunk, 1, n, stdout) != n) return last_output_error();
    }
    if (std::ferror(collected)) return last_output_error();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return last_output_error();
    return 0;
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::string &target, std::string &error) {
    if (!open_target(target, error)) return false;
    // A program of a million blocks comes in small pieces: a large buffer
    // hands them to the system in few writes.
    constexpr std::size_t BUFFER_SIZE = 1 << 18;
    buffer_.resize(BUFFER_SIZE);
    std::setvbuf(stream_, buffer_.data(), _IOFBF, buffer_.size());
    return true;
}

// A device, a FIFO or an open descriptor: it cannot be renamed over, so it is
// written directly.  Appending keeps what the shell asked for with ">>" and
// makes no difference to a device.
bool OutputFile::open_in_place(const std::string &target, std::string &error) {
    stream_ = std::fopen(target.c_str(), "ab");
    if (stream_ == nullptr) {
        error = output_failure("cannot open", name_, last_output_error());
        return false;
    }
    return true;
}

bool OutputFile::commit(std::string &error) {
    if (stream_ == nullptr) {
        error = "no output open";
        return false;
    }
    return is_stdout_ ? commit_to_stdout(error) : commit_file(error);
}

bool OutputFile::commit_to_stdout(std::string &error) {
    const int e = copy_to_stdout(stream_);
    discard();
    if (e != 0) {
        error = output_failure("cannot write", name_, e);
        return false;
    }
    return true;
}

void OutputFile::discard() {
    if (stream_ != nullptr) std::fclose(stream_);
    stream_ = nullptr;
    if (!temporary_.empty()) {
        forget_temporary(interrupt_slot_);
        interrupt_slot_ = -1;
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
    is_stdout_ = false;
}

}  // namespace cli
