// job_input.cpp - reads the job's text from a file or standard input and
// hands it to the job reader.
#include "cli/job_input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/byte_input.h"
#include "cli/path_kind.h"
#include "job/job_reader.h"

namespace cli {
namespace {

constexpr const char *STANDARD_INPUT = "-";

// Reads everything from fd into text; answers 0 or the error number.
int read_all(int fd, std::string &text) {
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        text.append(chunk, static_cast<std::size_t>(n));
    }
}

std::string reason(int error_number) { return std::strerror(error_number); }

// The job's text from standard input or a file.
std::string read_text(const std::string &path, const std::string &name) {
    std::string text;
    if (path == STANDARD_INPUT) {
        const int e = read_all(standard_input_bytes(), text);
        if (e != 0) throw job::JobError(name + ": cannot read the job: " + reason(e));
        return text;
    }
    const int fd = open_bytes(path);
    if (fd < 0) throw job::JobError(name + ": cannot open the job file: " + reason(errno));
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw job::JobError(name + ": is a directory, not a job file");
    }
    const int e = read_all(fd, text);
    ::close(fd);
    if (e != 0) throw job::JobError(name + ": cannot read the job file: " + reason(e));
    return text;
}

// Refuses a zero byte anywhere, naming its line and column.
void refuse_zero_byte(const std::string &text, const std::string &name) {
    const std::size_t at = text.find('\0');
    if (at == std::string::npos) return;
    const std::size_t line_start = text.rfind('\n', at);
    const std::size_t column = line_start == std::string::npos ? at + 1 : at - line_start;
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    throw job::JobError(name + ": line " + std::to_string(line) + ", column " + std::to_string(column) +
                        ": a zero byte; a job file is JSON text");
}

}  // namespace

bool job_is_a_stream(const std::string &path) {
    if (path == STANDARD_INPUT || names_a_descriptor(path)) return true;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

job::Job read_job(const std::string &path) {
    const std::string name = path == STANDARD_INPUT ? "standard input" : path;
    const std::string text = read_text(path, name);
    refuse_zero_byte(text, name);
    std::string base = ".";
    if (!job_is_a_stream(path)) {
        const std::string parent = std::filesystem::path(path).parent_path().string();
        if (!parent.empty()) base = parent;
    }
    try {
        return job::parse_job(text, base);
    } catch (const job::JobError &e) {
        throw job::JobError(name + ": " + e.what());
    }
}

}  // namespace cli
