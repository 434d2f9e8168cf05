// block_map.cpp - the block map written and read.
#include "cli/block_map.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "verify/job_place.h"

namespace cli {

std::string step_name(const job::Job &job, const host::StepPlace &place) {
    using Part = host::StepPlace::Part;
    switch (place.part) {
    case Part::header: return "header";
    case Part::trailer: return "trailer";
    case Part::work_step: {
        verify::JobPlace p;
        p.step = place.index;
        return verify::place_name(p, job);
    }
    case Part::pattern:
    case Part::pattern_step: {
        verify::JobPlace p;
        p.part = verify::JobPlace::Part::pattern;
        p.step = place.index;
        p.body_step = place.part == Part::pattern ? static_cast<std::size_t>(-1) : place.body_index;
        return verify::place_name(p, job);
    }
    }
    return "?";
}

BlockMap::BlockMap(const job::Job &job, std::FILE *file, bool keep) : job_(job), file_(file), keep_(keep) {}

void BlockMap::lines(long long first_line, long long count, const host::StepPlace &place) {
    if (keep_) runs_.push_back(Run{first_line, place});
    if (file_ == nullptr || error_number_ != 0) return;
    const std::string name = step_name(job_, place);
    for (long long line = first_line; line < first_line + count; ++line) {
        if (std::fprintf(file_, "%lld\t%s\n", line, name.c_str()) < 0) {
            error_number_ = errno != 0 ? errno : EIO;
            return;
        }
    }
}

std::string BlockMap::name(long long line) const {
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), line,
                                        [](long long l, const Run &r) { return l < r.first_line; });
    if (after == runs_.begin()) return "";
    return step_name(job_, std::prev(after)->place);
}

void BlockMap::name_runs(const std::function<void(long long first_line, const std::string &name)> &to) const {
    for (const Run &r : runs_) to(r.first_line, step_name(job_, r.place));
}

bool MapFile::read(const std::string &path, std::string &error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the block map " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string text;
    long long expected = 1;
    while (std::getline(in, text)) {
        const std::size_t tab = text.find('\t');
        char *end = nullptr;
        const long long line = tab == std::string::npos ? 0 : std::strtoll(text.c_str(), &end, 10);
        if (tab == std::string::npos || end != text.c_str() + tab || line != expected) {
            error = path + ": line " + std::to_string(expected) + " is not \"" + std::to_string(expected) +
                    "<tab>step\": not a block map of pelk-post";
            return false;
        }
        std::string name = text.substr(tab + 1);
        if (runs_.empty() || runs_.back().second != name) runs_.emplace_back(line, std::move(name));
        ++expected;
    }
    lines_ = expected - 1;
    return true;
}

std::string MapFile::name(long long line) const {
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), line,
                                        [](long long l, const auto &r) { return l < r.first; });
    if (after == runs_.begin()) return "";
    return std::prev(after)->second;
}

}  // namespace cli
