// diff_command.cpp - pelk-post diff: two programs, or two folders of
// programs paired by name, compared by what they make the machine and the
// operator do (diff/comparison.h).  Each program is read alone, as plot and
// stats read one (cli/program_alone.h): its header for the sheet and the
// clamps, the machine file for the units and the load position.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "cli/child_process.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/message_text.h"
#include "cli/parallel_runs.h"
#include "cli/program_alone.h"
#include "diff/comparison.h"
#include "diff/program_reader.h"
#include "job/job_reader.h"
#include "job/machine_file.h"
#include "nc/program_error.h"
#include "verify/event_text.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using diff::plural;

// What became of one pair of programs.
enum class Outcome { same, differ, unreadable, only_old, only_new };

struct Pair {
    std::string name;            // as the folder listing names it ("" for two files)
    std::string old_path, new_path;
    Outcome outcome = Outcome::same;
    std::string error;           // unreadable: why
    diff::Result result;
    diff::Program old_program, new_program;
};

// The machine files: of both sides, or of one.
struct Machines {
    std::optional<job::MachineFile> both, old_side, new_side;
    const job::MachineFile *of(bool old) const {
        const std::optional<job::MachineFile> &own = old ? old_side : new_side;
        return own ? &*own : both ? &*both : nullptr;
    }
};

// Closes the program's file when the pair is done.
struct OpenFile {
    std::FILE *file = nullptr;
    ~OpenFile() {
        if (file != nullptr) std::fclose(file);
    }
};

// The program's job (its header and the machine file) made into what the
// comparison knows of it.
diff::Program program_of(const job::Job &job, const HeaderLines &lines, const std::string &name, double allowance) {
    diff::Program p;
    p.name = name;
    p.inch = job.machine.inch;
    p.tolerance = diff::side_tolerance(p.inch, allowance);
    p.header.sheet = lines.sheet > 0;
    p.header.sheet_line = lines.sheet;
    p.header.thickness = job.sheet.thickness;
    p.header.size_x = job.sheet.size_x;
    p.header.size_y = job.sheet.size_y;
    p.header.clamps_known = lines.clamps > 0;
    p.header.clamps_line = lines.clamps;
    if (p.header.clamps_known) p.header.clamps = job.machine.clamps;
    return p;
}

// Compares the pair's two programs; never throws (a program that cannot be
// read makes the pair unreadable).
void compare_pair(Pair &pair, const Machines &machines, const Options &o) {
    try {
        OpenFile files[2];
        job::Job jobs[2];
        HeaderLines lines[2];
        for (int side = 0; side < 2; ++side) {
            const std::string &path = side == 0 ? pair.old_path : pair.new_path;
            files[side].file = std::fopen(path.c_str(), "rb");
            if (files[side].file == nullptr) {
                pair.outcome = Outcome::unreadable;
                pair.error = "cannot open the program " + path + ": " + std::strerror(errno);
                return;
            }
            jobs[side] = job_of_program(files[side].file, path, machines.of(side == 0), lines[side]);
        }
        pair.old_program = program_of(jobs[0], lines[0], pair.old_path, o.allowance);
        pair.new_program = program_of(jobs[1], lines[1], pair.new_path, o.allowance);
        nc::TextTable texts;
        diff::ProgramReader old_events(std::make_unique<nc::FileSource>(files[0].file, pair.old_path),
                                       setup_of_program(jobs[0]), pair.old_program.inch,
                                       pair.old_program.tolerance, texts);
        diff::ProgramReader new_events(std::make_unique<nc::FileSource>(files[1].file, pair.new_path),
                                       setup_of_program(jobs[1]), pair.new_program.inch,
                                       pair.new_program.tolerance, texts);
        diff::Options options;
        options.any_order = o.any_order;
        options.messages = o.quiet ? 0 : o.messages;
        try {
            pair.result = diff::compare(old_events, new_events, pair.old_program, pair.new_program, texts, options);
        } catch (const nc::ProgramError &e) {
            pair.outcome = Outcome::unreadable;
            pair.error = (old_events.failed() ? pair.old_path : pair.new_path) + ": " + e.what() +
                         "; the control cannot run this program as it stands";
            return;
        }
        pair.result.old_lines = old_events.lines();
        pair.result.new_lines = new_events.lines();
        pair.result.old_uncompared = old_events.uncompared();
        pair.result.new_uncompared = new_events.uncompared();
        pair.outcome = pair.result.differences == 0 ? Outcome::same : Outcome::differ;
    } catch (const std::exception &e) {
        pair.outcome = Outcome::unreadable;
        pair.error = e.what();
    }
}

// The pair's messages, its verdict and what --explain tells, each line
// behind prefix.
void tell(const Pair &pair, const Options &o, const std::string &prefix) {
    const diff::Result &r = pair.result;
    for (const std::string &m : r.messages) std::printf("%s%s\n", prefix.c_str(), printable(m).c_str());
    const std::string names = pair.old_path + " and " + pair.new_path;
    if (r.differences == 0) {
        if (!o.quiet) {
            const double within = pair.old_program.tolerance.position + pair.new_program.tolerance.position;
            std::printf("%s%s do the same: %s compared, places within %s mm\n", prefix.c_str(), names.c_str(),
                        plural(r.events, "event", "events").c_str(), verify::length_text(within, false).c_str());
        }
    } else {
        std::string shown;
        if (r.messages.size() < static_cast<std::size_t>(r.differences) && !r.messages.empty()) {
            shown = r.messages.size() == 1 ? " (the first above)"
                                           : " (the first " + std::to_string(r.messages.size()) + " above)";
        }
        std::printf("%s%s differ: %s%s\n", prefix.c_str(), names.c_str(),
                    plural(r.differences, "difference", "differences").c_str(), shown.c_str());
    }
    if (o.explain) {
        for (const std::string &line : diff::explanation(r, pair.old_program, pair.new_program)) {
            std::printf("%s  %s\n", prefix.c_str(), printable(line).c_str());
        }
    }
}

// A file of a folder is a program when it is named *.nc or begins as the
// dialect's programs do ("% " or "+ "); hidden files are none.
bool is_program(const fs::path &path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".nc") return true;
    std::ifstream in(path, std::ios::binary);
    char start[2] = {};
    return in.read(start, 2) && (start[0] == '%' || start[0] == '+') && start[1] == ' ';
}

// The programs below a folder, by their paths from it, sorted.
bool programs_in(const std::string &folder, std::vector<std::string> &names, std::string &error) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(folder);
        const bool hidden = std::any_of(relative.begin(), relative.end(),
                                        [](const fs::path &part) { return part.string().rfind('.', 0) == 0; });
        std::error_code kind;
        if (hidden || !it->is_regular_file(kind) || !is_program(it->path())) continue;
        names.push_back(relative.generic_string());
    }
    if (ec) {
        error = "cannot read the folder " + folder + ": " + ec.message();
        return false;
    }
    std::sort(names.begin(), names.end());
    return true;
}

int run_folders(const Options &o, const Machines &machines) {
    std::vector<std::string> old_names, new_names;
    std::string error;
    if (!programs_in(o.old_path, old_names, error) || !programs_in(o.new_path, new_names, error)) {
        std::fprintf(stderr, "pelk-post: error: %s\n", printable(error).c_str());
        return bad_command_line;
    }
    std::vector<Pair> pairs;
    std::map<std::string, int> sides;  // 1: in OLD, 2: in NEW, 3: in both
    for (const std::string &n : old_names) sides[n] |= 1;
    for (const std::string &n : new_names) sides[n] |= 2;
    for (const auto &[name, in] : sides) {
        Pair p;
        p.name = name;
        p.old_path = (fs::path(o.old_path) / name).string();
        p.new_path = (fs::path(o.new_path) / name).string();
        p.outcome = in == 1 ? Outcome::only_old : in == 2 ? Outcome::only_new : Outcome::same;
        pairs.push_back(std::move(p));
    }
    const unsigned at_once = o.parallel != 0 ? o.parallel : processor_count();
    run_in_parallel(pairs.size(), at_once, [&](std::size_t i) {
        if (pairs[i].outcome == Outcome::same) compare_pair(pairs[i], machines, o);
    });
    long long counts[5] = {};
    for (const Pair &p : pairs) {
        ++counts[static_cast<int>(p.outcome)];
        switch (p.outcome) {
        case Outcome::same:
            if (o.explain) tell(p, o, p.name + ": ");
            break;
        case Outcome::differ: tell(p, o, p.name + ": "); break;
        case Outcome::unreadable: std::fprintf(stderr, "pelk-post: error: %s\n", printable(p.error).c_str()); break;
        case Outcome::only_old: std::printf("%s: only in %s\n", p.name.c_str(), o.old_path.c_str()); break;
        case Outcome::only_new: std::printf("%s: only in %s\n", p.name.c_str(), o.new_path.c_str()); break;
        }
    }
    // "412 programs: 409 the same, 2 differ, 1 only in NEW"
    std::string summary = plural(static_cast<long long>(pairs.size()), "program", "programs") + ": " +
                          std::to_string(counts[static_cast<int>(Outcome::same)]) + " the same, " +
                          std::to_string(counts[static_cast<int>(Outcome::differ)]) + " differ";
    if (counts[static_cast<int>(Outcome::only_old)] > 0) {
        summary += ", " + std::to_string(counts[static_cast<int>(Outcome::only_old)]) + " only in " + o.old_path;
    }
    if (counts[static_cast<int>(Outcome::only_new)] > 0) {
        summary += ", " + std::to_string(counts[static_cast<int>(Outcome::only_new)]) + " only in " + o.new_path;
    }
    if (counts[static_cast<int>(Outcome::unreadable)] > 0) {
        summary += ", " + std::to_string(counts[static_cast<int>(Outcome::unreadable)]) + " cannot be read";
    }
    std::printf("%s\n", printable(summary).c_str());
    if (std::fflush(stdout) != 0) return fail(std::string("cannot write the comparison: ") + std::strerror(errno));
    if (counts[static_cast<int>(Outcome::unreadable)] > 0) return bad_command_line;
    const long long apart = counts[static_cast<int>(Outcome::differ)] + counts[static_cast<int>(Outcome::only_old)] +
                            counts[static_cast<int>(Outcome::only_new)];
    return apart > 0 ? not_written : written;
}

}  // namespace

int run_diff(const Options &o) {
    for (const std::string *path : {&o.old_path, &o.new_path}) {
        if (*path == "-") return fail_command_line("diff reads its programs from files: name a file, not standard input");
    }
    std::error_code ec;
    const bool old_folder = fs::is_directory(o.old_path, ec), new_folder = fs::is_directory(o.new_path, ec);
    if (old_folder != new_folder) {
        return fail_command_line((old_folder ? o.old_path : o.new_path) + " is a folder and " +
                                 (old_folder ? o.new_path : o.old_path) +
                                 " is not: diff compares two programs, or two folders of programs");
    }
    Machines machines;
    try {
        if (!o.machine_file.empty()) machines.both.emplace(job::read_machine_file(o.machine_file));
        if (!o.old_machine.empty()) machines.old_side.emplace(job::read_machine_file(o.old_machine));
        if (!o.new_machine.empty()) machines.new_side.emplace(job::read_machine_file(o.new_machine));
    } catch (const job::JobError &e) {
        std::fprintf(stderr, "pelk-post: error: %s\n", printable(e.what()).c_str());
        return bad_command_line;
    }
    if (old_folder) return run_folders(o, machines);
    Pair pair;
    pair.old_path = o.old_path;
    pair.new_path = o.new_path;
    compare_pair(pair, machines, o);
    if (pair.outcome == Outcome::unreadable) {
        std::fprintf(stderr, "pelk-post: error: %s\n", printable(pair.error).c_str());
        return bad_command_line;
    }
    tell(pair, o, "");
    if (std::fflush(stdout) != 0) return fail(std::string("cannot write the comparison: ") + std::strerror(errno));
    return pair.outcome == Outcome::same ? written : not_written;
}

}  // namespace cli
