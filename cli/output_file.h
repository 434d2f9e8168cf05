// output_file.h - the NC program's destination, written so that a failed run
// never leaves a truncated program behind.
//
// A regular file (or one that does not exist yet) is written to a temporary
// file beside it, synced and renamed over the target only when everything
// went well; an existing target stays untouched otherwise.  A target that
// exists and is no regular file (a device, a FIFO, /dev/stdout) is written
// directly: it cannot be replaced.  "-" is standard output, which gets the
// program only once it is complete.  A run stopped by SIGINT, SIGTERM or
// SIGHUP removes the temporary too.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;
    ~OutputFile();  // discards what was not committed

    // Opens the destination.  Answers false with the reason in error.
    bool open(const std::string &target, std::string &error);

    // Where the NC text goes while the program is written.
    std::FILE *stream() const { return stream_; }

    // Finishes the output: flushed, synced and, for a temporary, renamed over
    // the target.  Answers false with the reason in error; the temporary is
    // then removed.
    bool commit(std::string &error);

    // Gives the output up: the temporary is removed, the target left as it was.
    void discard();

    // The name used in messages ("standard output" for "-").
    const std::string &name() const { return name_; }

private:
    // Opens the destination by its kind (one implementation per platform).
    bool open_target(const std::string &target, std::string &error);
    // The three kinds of target; each answers false with the reason in error.
    bool open_collected_for_stdout(std::string &error);
    bool open_in_place(const std::string &target, std::string &error);
    bool open_aside(const std::string &target, bool exists, unsigned mode_of_target, std::string &error);

    bool commit_to_stdout(std::string &error);
    bool commit_file(std::string &error);

    std::FILE *stream_ = nullptr;
    std::string target_;     // the file the user named (symbolic links resolved)
    std::string temporary_;  // the file written aside, empty when writing directly
    std::string name_;
    bool is_stdout_ = false;
    int interrupt_slot_ = -1;  // where the temporary is remembered for a signal
    std::vector<char> buffer_; // the stream's buffer, outliving the stream
};

}  // namespace cli
