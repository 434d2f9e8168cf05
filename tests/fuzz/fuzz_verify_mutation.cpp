// fuzz_verify_mutation.cpp - verify on programs edited by hand: a program
// posted from one of the seed jobs, then edited as the input says, then held
// against its job.
//
// The input: its first byte picks the job (tests/fuzz/job_seeds/, in the
// order of their names); every three bytes after it are one edit, a kind and
// a place (two bytes, big end first):
//   kind % 8 == 0, 3, 5  an empty line (CR LF) after the line at the place
//                        (never before the first line nor after the "%")
//   kind % 8 == 1        a comment's text changed: the comment at the place
//                        among the program's comments, one character (kind / 8
//                        picks it) put at a place in its text (the place's
//                        high byte) or added at its end
//   kind % 8 == 2        the CR LF of the line at the place made a line feed
//   kind % 8 == 4        a block of BLOCKS (kind / 8 picks it) after the line
//   kind % 8 == 6        the line at the place deleted
//   kind % 8 == 7        the line at the place doubled
// A line is edited once at most, four blocks are added at most; an edit
// that finds nothing to edit is left out.
//
// What must hold: the program as posted does what its job says; empty lines
// change nothing (the control skips them): the program still does what the
// job says; a changed comment or line end is a difference, and the first
// changed comment and every changed line end are named with their line.  A
// block added, deleted or doubled may do anything the control can do, or be
// refused with a ProgramError: never a fault, and never slow.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "job/job_reader.h"
#include "nc/program_error.h"
#include "tests/fuzz/pipeline_run.h"
#include "tests/property/post_check.h"

namespace {

using fuzz::lines_of;

constexpr std::size_t MOST_EDITS = 32;
// Blocks added at most: four rows of ten thousand strokes, each in a
// definition copied a dozen times, stay within a few seconds.
constexpr std::size_t MOST_ADDED = 4;

// Blocks an edit adds: rows, copies and holes by the thousand and ten
// thousand (differences the comparison counts without telling each; a block
// added to a pattern's definition runs in every copy, and the sanitized
// target takes some three seconds for a million strokes, so the larger rows
// are left to the ordinary tests), words and commands out of place, numbers
// beyond the control's.
constexpr const char *BLOCKS[] = {
    "LAA/1 0 10000",      "LAA/1 90 3",        "X10Y10",      "X10Y10M03",   "M00",
    "(NOTE)",             "MGR/01 R 1 1000",   "NBL/",        "CAA/Z 1000 10 0 0.01", "PAT01",
    "M30",                "%",                 "T1",          "C90",         "LED/DX0DY0",
    "OFS/X0Y0",           "REP/DX100",         "M4294967296", "M21",         "LAL/X10Y10F100",
    "ARC/10 0 0.01 1000", "DWL/X 1",           "FRM/X100",    "M55",         "X5Y5M56",
    "LAA/1 0 1000",
};
// Differences told in full: enough for every edit.
constexpr std::size_t MESSAGES = 1000;

struct Posted {
    std::string name;
    job::Job job;
    std::vector<std::string> lines;  // with their line ends, as written
};

// The seed jobs posted once, each program checked as it stands.
const std::vector<Posted> &posted_seeds() {
    static const std::vector<Posted> seeds = [] {
        std::vector<std::filesystem::path> files;
        for (const auto &entry : std::filesystem::directory_iterator(FUZZ_GOLDEN_DIR)) {
            if (entry.is_directory() && std::filesystem::exists(entry.path() / "job.json")) {
                files.push_back(entry.path() / "job.json");
            }
        }
        std::sort(files.begin(), files.end());
        std::vector<Posted> all;
        for (const auto &file : files) {
            Posted p;
            p.name = file.parent_path().filename().string();
            p.job = job::read_job_file(file.string());
            const fuzz::PipelineRun run = fuzz::run_pipeline(p.job, false);
            if (run.result != 0) {
                std::fprintf(stderr, "%s: the program was stopped before its end\n", p.name.c_str());
                std::abort();
            }
            std::string text;
            for (const std::string &piece : run.pieces) text += piece;
            const verify::ComparisonResult r = property::check_program_text(p.job, text, MESSAGES);
            if (r.differences != 0) {
                std::fprintf(stderr, "%s: the program as posted differs from its job: %s\n", p.name.c_str(),
                             r.messages.empty() ? "" : r.messages[0].c_str());
                std::abort();
            }
            p.lines = lines_of(text);
            all.push_back(std::move(p));
        }
        if (all.empty()) std::abort();
        return all;
    }();
    return seeds;
}

bool is_comment(const std::string &line) {
    return line.size() >= 4 && line[0] == '(' && line.compare(line.size() - 3, 3, ")\r\n") == 0;
}

// Whether a message names the line: "line N" with N whole.
bool names_line(const std::string &message, long long line) {
    const std::string word = "line " + std::to_string(line);
    for (std::size_t at = message.find(word); at != std::string::npos; at = message.find(word, at + 1)) {
        const std::size_t after = at + word.size();
        if (after == message.size() || message[after] < '0' || message[after] > '9') return true;
    }
    return false;
}

[[noreturn]] void fail(const Posted &p, const std::string &program, const std::string &what,
                       const std::vector<std::string> &messages) {
    std::fprintf(stderr, "%s, edited: %s\n", p.name.c_str(), what.c_str());
    for (std::size_t i = 0; i < messages.size() && i < 20; ++i) std::fprintf(stderr, "    %s\n", messages[i].c_str());
    std::fprintf(stderr, "the program:\n%.4000s\n", program.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    const std::vector<Posted> &seeds = posted_seeds();
    const Posted &p = seeds[data[0] % seeds.size()];
    std::vector<std::string> lines = p.lines;
    const std::size_t n = lines.size();
    if (n < 3) return 0;
    std::vector<int> empty_after(n, 0);   // empty lines after each line
    std::vector<bool> edited(n, false);
    std::vector<std::size_t> comments;
    for (std::size_t i = 0; i < n; ++i) {
        if (is_comment(lines[i])) comments.push_back(i);
    }
    std::vector<std::size_t> changed_comments, changed_ends;
    std::vector<std::string> added_after(n);  // blocks added after each line
    bool structural = false;                 // a block added, deleted or doubled
    std::size_t added = 0;
    for (std::size_t k = 1; k + 3 <= size && (k - 1) / 3 < MOST_EDITS; k += 3) {
        const unsigned kind = data[k];
        const std::size_t place = static_cast<std::size_t>(data[k + 1]) << 8 | data[k + 2];
        switch (kind % 8) {
        case 1: {
            if (comments.empty()) break;
            const std::size_t i = comments[place % comments.size()];
            if (edited[i]) break;
            std::string &line = lines[i];
            const std::size_t inner = line.size() - 4;  // between "(" and ")\r\n"
            const std::size_t at = 1 + data[k + 1] % (inner + 1);
            char c = static_cast<char>(' ' + (kind / 8) % 95);
            if (at == line.size() - 3) {
                line.insert(at, 1, c);
            } else {
                if (line[at] == c) c = c == '~' ? ' ' : static_cast<char>(c + 1);
                line[at] = c;
            }
            edited[i] = true;
            changed_comments.push_back(i);
            break;
        }
        case 2: {
            const std::size_t i = place % (n - 1);  // every line but the "%"
            std::string &line = lines[i];
            if (edited[i] || line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) break;
            line.erase(line.size() - 2, 1);
            edited[i] = true;
            changed_ends.push_back(i);
            break;
        }
        case 4:
            if (added == MOST_ADDED) break;
            ++added;
            added_after[place % (n - 1)] += std::string(BLOCKS[(kind / 8) % std::size(BLOCKS)]) + "\r\n";
            structural = true;
            break;
        case 6:
        case 7: {
            const std::size_t i = place % (n - 1);
            if (edited[i]) break;
            edited[i] = true;
            lines[i] = kind % 8 == 6 ? std::string() : lines[i] + lines[i];
            structural = true;
            break;
        }
        default: ++empty_after[place % (n - 1)]; break;
        }
    }
    // The program as edited, and where each line of the posted one now stands.
    std::string program;
    std::vector<long long> line_now(n);
    long long line = 0;
    for (std::size_t i = 0; i < n; ++i) {
        program += lines[i];
        line_now[i] = ++line;
        for (int e = 0; e < empty_after[i]; ++e) {
            program += "\r\n";
            ++line;
        }
        program += added_after[i];
    }
    std::string what;
    for (std::size_t i : changed_comments) what += "comment at line " + std::to_string(line_now[i]) + "; ";
    for (std::size_t i : changed_ends) what += "line end at line " + std::to_string(line_now[i]) + "; ";
    what += std::to_string(line - static_cast<long long>(n)) + " empty lines";

    verify::ComparisonResult r;
    try {
        r = property::check_program_text(p.job, program, MESSAGES);
    } catch (const nc::ProgramError &e) {
        if (structural) return 0;
        fail(p, program, what + ": the control cannot run it: " + e.what(), {});
    }
    // Line numbers after a block added or deleted are not followed.
    if (structural) return 0;
    const std::size_t edits = changed_comments.size() + changed_ends.size();
    if (edits == 0) {
        if (r.differences != 0) fail(p, program, what + ": empty lines made differences", r.messages);
        return 0;
    }
    if (r.differences < static_cast<long long>(edits)) {
        fail(p, program, what + ": " + std::to_string(r.differences) + " differences found", r.messages);
    }
    auto named = [&r](long long at) {
        return std::any_of(r.messages.begin(), r.messages.end(), [at](const std::string &m) { return names_line(m, at); });
    };
    for (std::size_t i : changed_ends) {
        if (!named(line_now[i])) fail(p, program, what + ": the line end at line " + std::to_string(line_now[i]) + " is not named", r.messages);
    }
    if (!changed_comments.empty()) {
        const std::size_t first = *std::min_element(changed_comments.begin(), changed_comments.end());
        if (!named(line_now[first])) {
            fail(p, program, what + ": the comment at line " + std::to_string(line_now[first]) + " is not named", r.messages);
        }
    }
    return 0;
}
