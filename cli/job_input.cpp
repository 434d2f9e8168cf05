// job_input.cpp - reads the job's text from a file or standard input and
// hands it to the job reader.
#include "cli/job_input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/byte_input.h"
#include "cli/path_kind.h"
#include "job/job_reader.h"

namespace cli {
namespace {

constexpr const char *STANDARD_INPUT = "-";

std::string reason(int error_number) { return std::strerror(error_number); }

// The job's text from a descriptor, a piece at a time: a job of any size is
// read without holding its text.
class DescriptorText : public job::TextSource {
public:
    explicit DescriptorText(int fd) : fd_(fd), piece_(PIECE_SIZE) {
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            size_ = static_cast<std::size_t>(info.st_size);
        }
    }
    std::size_t size_hint() const override { return size_; }
    std::string_view next_piece() override {
        for (;;) {
            const ssize_t n = ::read(fd_, piece_.data(), piece_.size());
            if (n >= 0) return {piece_.data(), static_cast<std::size_t>(n)};
            if (errno != EINTR) throw job::JobError("cannot read the job: " + reason(errno));
        }
    }

private:
    static constexpr std::size_t PIECE_SIZE = 1 << 16;
    int fd_;
    std::size_t size_ = 0;  // a regular file's size, else 0
    std::vector<char> piece_;
};

// Closes a descriptor of a job file when reading ends, whatever way.
class OpenFile {
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;
    ~OpenFile() { ::close(fd_); }

private:
    int fd_;
};

}  // namespace

bool job_is_a_stream(const std::string &path) {
    if (path == STANDARD_INPUT || names_a_descriptor(path)) return true;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

std::string program_of(const std::string &job_path, const std::string &output_dir) {
    std::filesystem::path p(job_path);
    if (!output_dir.empty()) p = std::filesystem::path(output_dir) / p.filename();
    p.replace_extension(".nc");
    return p.string();
}

bool make_output_dir(const std::string &output_dir, std::string &error) {
    std::error_code ec;
    std::filesystem::create_directories(output_dir, ec);
    if (!ec && std::filesystem::is_directory(output_dir, ec)) return true;
    error = "cannot make the output folder " + output_dir + ": " + (ec ? ec.message() : "a file of that name is in the way");
    return false;
}

job::Job read_job(const std::string &path, const job::MachineFile *machine_file) {
    const std::string name = path == STANDARD_INPUT ? "standard input" : path;
    std::string base = ".";
    if (!job_is_a_stream(path)) {
        const std::string parent = std::filesystem::path(path).parent_path().string();
        if (!parent.empty()) base = parent;
    }
    try {
        if (path == STANDARD_INPUT) {
            DescriptorText text(standard_input_bytes());
            return job::read_job(text, base, machine_file);
        }
        const int fd = open_bytes(path);
        if (fd < 0) throw job::JobError("cannot open the job file: " + reason(errno));
        OpenFile file(fd);
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) throw job::JobError("is a directory, not a job file");
        DescriptorText text(fd);
        return job::read_job(text, base, machine_file);
    } catch (const job::JobError &e) {
        throw job::JobError(name + ": " + e.what());
    }
}

}  // namespace cli
