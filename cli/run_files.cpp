// run_files.cpp - outputs held apart from inputs and from each other.
#include "cli/run_files.h"

#include <filesystem>

#include "cli/job_input.h"

namespace cli {
namespace {

bool names_a_file(const std::string &path) { return !path.empty() && path != "-"; }

}  // namespace

bool same_file(const std::string &a, const std::string &b) {
    std::error_code ec;
    if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) {
        return std::filesystem::equivalent(a, b, ec) && !ec;
    }
    // One of them does not exist yet: the same path, once links and dots are resolved.
    const auto weak_a = std::filesystem::weakly_canonical(a, ec);
    if (ec) return false;
    const auto weak_b = std::filesystem::weakly_canonical(b, ec);
    return !ec && weak_a == weak_b;
}

std::vector<RunFile> inputs_of(const std::string &job_path, const job::Job &job, const std::string &module_path) {
    std::vector<RunFile> inputs;
    if (!job_is_a_stream(job_path)) inputs.push_back({"the job", job_path, ""});
    if (!job.machine_source.file.empty()) inputs.push_back({"the machine file", job.machine_source.file, ""});
    // The module reads "<dir>/LASER.PAR"; an empty directory is the root.
    inputs.push_back({"the laser parameter file", job.machine.machine_dir + "/LASER.PAR", ""});
    inputs.push_back({"the module", module_path, ""});
    return inputs;
}

std::string clash_of(const std::vector<RunFile> &inputs, const std::vector<RunFile> &outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const RunFile &out = outputs[i];
        if (!names_a_file(out.path)) continue;
        for (const RunFile &in : inputs) {
            if (names_a_file(in.path) && same_file(in.path, out.path)) {
                return out.what + " " + out.path + " (" + out.option + ") is " + in.what + " " + in.path +
                       " that the run reads; name another";
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            const RunFile &earlier = outputs[j];
            if (names_a_file(earlier.path) && same_file(earlier.path, out.path)) {
                return out.what + " " + out.path + " (" + out.option + ") is " + earlier.what + " " + earlier.path +
                       " (" + earlier.option + ") too; name another";
            }
        }
    }
    return "";
}

}  // namespace cli
