// machine_file.cpp - reading a machine file, and joining its turret and
// technologies with a job's own.
#include "job/machine_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>

#include "job/job_reader.h"
#include "job/job_sections.h"

namespace job {
namespace {

std::string station_label(const Station &s) {
    return "tool " + std::to_string(s.tool) + ", station " + std::to_string(s.station) + (s.laser ? ", laser head" : "");
}

bool is_punch(const std::vector<Station> &turret, int tool) {
    for (const Station &s : turret) {
        if (s.tool == tool) return !s.laser;
    }
    return false;
}

// The tool a step punches with, or nullptr for a step without one.
template <typename Step>
const int *tool_of(const Step &step) {
    if constexpr (requires { step.tool; }) return &step.tool;
    else return nullptr;
}

// The first of steps that punches with a tool that was a punch of before and
// is none of turret now; its index, or steps.size().
std::size_t first_lost_punch(const Job &job, std::span<const Operation> steps, const std::vector<Station> &before) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const int *tool = visit_step(steps[i], job, [](const auto &step) { return tool_of(step); });
        if (tool != nullptr && is_punch(before, *tool) && !is_punch(job.turret, *tool)) return i;
    }
    return steps.size();
}

}  // namespace

std::string machine_file_path(const std::string &named, const std::string &base_dir) {
    std::filesystem::path p(named);
    if (p.is_relative() && !base_dir.empty()) p = std::filesystem::path(base_dir) / p;
    return p.lexically_normal().string();
}

// 1. the text, 2. the JSON, 3. its parts, each read and checked as a job's.
MachineFile read_machine_file(const std::string &path) {
    // ---- 1. The text.  A machine file is small: read whole.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw JobError("cannot open the machine file " + path + ": it is a directory");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw JobError("cannot open the machine file " + path + ": " + std::strerror(errno));
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw JobError("cannot read the machine file " + path);

    MachineFile file;
    file.name = path;
    file.folder = std::filesystem::path(path).parent_path().string();
    if (file.folder.empty()) file.folder = ".";
    try {
        // ---- 2. The JSON, through the job's scanner.
        read_json_tree(text, file.tree);
        const JsonField root(file.tree, 0);
        if (!root.is_object()) root.fail("expected an object, found " + root.kind_name());
        root.expect_object(MACHINE_FILE_KEYS);

        // ---- 3. Its parts, with the readers and checks of a job's.
        if (root.has("$schema")) root.member("$schema").text(std::string::npos);
        if (root.has("machine")) {
            const JsonField machine = root.member("machine");
            Machine checked;
            read_machine(machine, file.folder, checked);
            file.machine = file.tree.find(0, "machine");
        }
        if (root.has("turret")) {
            file.turret = read_turret(root.member("turret"));
            file.has_turret = true;
        }
        if (root.has("laser_technologies")) {
            file.technologies = read_technologies(root.member("laser_technologies"));
            file.has_technologies = true;
        }
    } catch (const JobError &e) {
        throw JobError(path + ": " + e.what());
    }
    return file;
}

std::vector<Station> join_turret(const std::vector<Station> &file, const std::vector<Station> &job,
                                 std::vector<std::string> *notes) {
    std::vector<Station> joined;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const Station &f = file[i];
        std::size_t taker = 0;
        while (taker < job.size() && job[taker].station != f.station && job[taker].tool != f.tool &&
               !(job[taker].laser && f.laser)) {
            ++taker;
        }
        if (taker == job.size()) {
            joined.push_back(f);
        } else if (notes != nullptr) {
            notes->push_back("/turret/" + std::to_string(i) + " (" + station_label(f) +
                             "): the job's /turret/" + std::to_string(taker) + " (" + station_label(job[taker]) +
                             ") takes its place");
        }
    }
    joined.insert(joined.end(), job.begin(), job.end());
    return joined;
}

std::vector<LaserTechnology> join_technologies(const std::vector<LaserTechnology> &file,
                                               const std::vector<LaserTechnology> &job,
                                               std::vector<std::string> *notes) {
    std::vector<LaserTechnology> joined;
    for (std::size_t i = 0; i < file.size(); ++i) {
        std::size_t taker = 0;
        while (taker < job.size() && job[taker].number != file[i].number) ++taker;
        if (taker == job.size()) {
            joined.push_back(file[i]);
        } else if (notes != nullptr) {
            notes->push_back("/laser_technologies/" + std::to_string(i) + " (number " +
                             std::to_string(file[i].number) + "): the job's /laser_technologies/" +
                             std::to_string(taker) + " takes its place");
        }
    }
    joined.insert(joined.end(), job.begin(), job.end());
    return joined;
}

void note_machine_keys(const JsonField &file_machine, const JsonTree &job_machine, std::vector<std::string> &notes) {
    const JsonNode &root = job_machine.node(0);
    if (root.kind != JsonKind::object) return;
    for (std::size_t i = 0; i < root.members; ++i) {
        const std::string_view key = job_machine.key(job_machine.node(job_machine.element(0, i)));
        if (file_machine.has(key)) {
            notes.push_back("/machine/" + std::string(key) + ": given by the job as well; the job's value is used");
        }
    }
}

void check_punches_kept(const Job &job, const std::vector<Station> &before) {
    // Mostly the turret lost no punch: then nothing is walked.
    bool lost = false;
    for (const Station &s : before) lost = lost || (!s.laser && !is_punch(job.turret, s.tool));
    if (!lost) return;
    const std::size_t step = first_lost_punch(job, job.work, before);
    const char *why = "is no longer a punch of the turret: the job's turret, given after this step, takes the "
                      "place of its station in the machine file";
    if (step < job.work.size()) {
        const int *tool = visit_step(job.work[step], job, [](const auto &s) { return tool_of(s); });
        throw JobError(JsonPath().key("work").index(step).text() + ": tool " + std::to_string(*tool) + " " + why);
    }
    for (std::size_t p = 0; p < job.patterns.size(); ++p) {
        const std::vector<Operation> &body = job.patterns[p].body;
        const std::size_t at = first_lost_punch(job, body, before);
        if (at < body.size()) {
            const int *tool = visit_step(body[at], job, [](const auto &s) { return tool_of(s); });
            throw JobError(JsonPath().key("patterns").index(p).key("body").index(at).text() + ": tool " +
                           std::to_string(*tool) + " " + why);
        }
    }
}

}  // namespace job
