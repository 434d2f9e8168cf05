// block_map.h - the block map: for every line of a program, the job's step
// that wrote it ("work[17] (hit)", "patterns[0].body[2] (row)"; the frame
// of the program is "header" and "trailer").
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host/host.h"
#include "job/job.h"

namespace cli {

// The name of a place of the job the host drives.
std::string step_name(const job::Job &job, const host::StepPlace &place);

// Told of the lines as the host flushes them: writes "LINE<TAB>NAME" lines
// to a file, and keeps the names for messages about lines when asked to.
class BlockMap : public host::LineMap {
public:
    BlockMap(const job::Job &job, std::FILE *file, bool keep);
    void lines(long long first_line, long long count, const host::StepPlace &place) override;

    // The name of a line kept, or "".
    std::string name(long long line) const;
    // Each run kept, in order: its first line and its step's name.
    void name_runs(const std::function<void(long long first_line, const std::string &name)> &to) const;
    // errno of a failed write, or 0.
    int error_number() const { return error_number_; }

private:
    struct Run {
        long long first_line;
        host::StepPlace place;
    };
    const job::Job &job_;
    std::FILE *file_;
    bool keep_;
    std::vector<Run> runs_;
    int error_number_ = 0;
};

// A block map read from its file, for the messages of a check.
class MapFile {
public:
    // Reads path; false with the reason in error.
    bool read(const std::string &path, std::string &error);
    std::string name(long long line) const;
    long long lines() const { return lines_; }  // lines the map names
    const std::vector<std::pair<long long, std::string>> &named_runs() const { return runs_; }

private:
    std::vector<std::pair<long long, std::string>> runs_;  // first line of each run of one name
    long long lines_ = 0;
};

}  // namespace cli
