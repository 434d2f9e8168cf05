// view_command.cpp - pelk-post view: the page that walks through a program
// before it runs (view/), written for a job (its program posted first, with
// its block map), a job and a program, or a program alone.
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/block_map.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/message_text.h"
#include "cli/module_path.h"
#include "cli/output_file.h"
#include "cli/program_input.h"
#include "cli/readback.h"
#include "cli/run_files.h"
#include "cli/work_check.h"
#include "nc/program_error.h"
#include "verify/comparison.h"
#include "view/page.h"

namespace cli {
namespace {

constexpr const char *STANDARD_STREAM = "-";
// The differences a page lists in full; the panel tells how many more.
constexpr std::size_t PAGE_DIFFERENCES = 1000;

// Verify's differences and the warnings of the run, as the page marks them;
// true when the work strikes a clamp's zone or lies off the sheet.
bool add_findings(view::Page &page, const ReadBack &in, const MapFile *map, const BlockMap *posted_map, const Options &o) {
    if (in.alone) return false;
    for (const host::MessageCount &m : host::message_counts()) {
        view::Finding f;
        f.text = m.text + (m.count > 1 ? " (" + std::to_string(m.count) + " times)" : "");
        f.kind = "warning";
        page.add_finding(f);
    }
    // Work that strikes a clamp's zone or lies off the sheet, at its line.
    const BlockMap *names = posted_map;
    const WorkCheck work = check_work(in.job, *in.control, in.program.file, in.program.name,
                                      [map, names](long long line) {
                                          return names != nullptr ? names->name(line) : map != nullptr ? map->name(line) : "";
                                      });
    for (std::size_t i = 0; i < work.warnings.size(); ++i) {
        view::Finding f;
        if (i < work.worst.size()) {
            f.line = work.worst[i].where.line;
            f.placed = true;
            f.x = work.worst[i].control_x;
            f.y = work.worst[i].control_y;
        }
        f.text = work.warnings[i];
        f.kind = "warning";
        if (!o.quiet) std::fprintf(stderr, "pelk-post: warning: %s\n", printable(f.text).c_str());
        page.add_finding(f);
    }
    verify::ComparisonOptions options;
    options.tolerance = verify::program_tolerance(in.job.machine.inch, o.allowance);
    options.messages = PAGE_DIFFERENCES;
    if (map != nullptr) options.line_name = [map](long long line) { return map->name(line); };
    if (posted_map != nullptr) options.line_name = [posted_map](long long line) { return posted_map->name(line); };
    const verify::ComparisonResult r = check_program(in.job, *in.control, in.program.file, in.program.name, options);
    for (std::size_t i = 0; i < r.messages.size(); ++i) {
        view::Finding f;
        f.line = r.places[i].line;
        f.placed = r.places[i].placed;
        f.x = r.places[i].x;
        f.y = r.places[i].y;
        f.text = r.messages[i];
        f.kind = "difference";
        page.add_finding(f);
    }
    if (r.differences > static_cast<long long>(r.messages.size())) {
        view::Finding f;
        f.text = std::to_string(r.differences - static_cast<long long>(r.messages.size())) + " more differences from the job";
        f.kind = "difference";
        page.add_finding(f);
    }
    return work.findings > 0;
}

}  // namespace

int run_view(const Options &o) {
    const std::string output = o.output.empty() ? beside_job(o.job_path, ".html") : o.output;
    // The page reads the program more than once: its events, its check, its text.
    if (o.program_path == STANDARD_STREAM) return fail("the page reads its program more than once: name a file, not standard input");
    MapFile map;
    std::string error;
    if (!o.map_path.empty() && !map.read(o.map_path, error)) return fail(error);
    ReadBack in;
    // The job's program posted here: its block map is kept for the page.
    std::unique_ptr<BlockMap> posted_map;
    if (o.program_path.empty()) posted_map = std::make_unique<BlockMap>(in.job, nullptr, true);
    if (!in.open(o, posted_map.get())) return in.status;
    if (in.alone) posted_map.reset();
    std::vector<RunFile> inputs = inputs_of(o.job_path, in.job, find_module(o.module_path));
    inputs.push_back({"the program", o.program_path, ""});
    inputs.push_back({"the block map", o.map_path, ""});
    const std::string clash = clash_of(inputs, {{"the page", output, "-o"}});
    if (!clash.empty()) return fail_command_line(clash);

    view::PageScene scene;
    scene.scene = scene_of(in.job, subject_title(o, in));
    scene.inch = in.job.machine.inch;
    scene.clamp_zone_width = in.job.machine.clamp_zone_width;
    scene.clamp_zone_depth = in.job.machine.clamp_zone_depth;
    scene.program_name = in.program.name;
    const stats::TimeModel time(times_of(in.job));
    view::Page page(scene, time);
    OutputFile out;
    bool work_warnings = false;
    try {
        {
            std::rewind(in.program.file);
            ProgramEvents read(in.program.file, in.program.name, in.control->setup);
            nc::Event e;
            while (read.events().next(e)) page.add(e);
        }
        if (posted_map != nullptr) {
            posted_map->name_runs([&page](long long line, const std::string &name) { page.name_lines(line, name); });
        } else if (!o.map_path.empty()) {
            for (const auto &[line, name] : map.named_runs()) page.name_lines(line, name);
        }
        work_warnings = add_findings(page, in, o.map_path.empty() ? nullptr : &map, posted_map.get(), o);
        if (!out.open(output, error)) return fail(error);
        page.write(out.stream(), in.program.file);
    } catch (const nc::ProgramError &e) {
        out.discard();
        return fail(in.program.name + ": " + e.what() + "; the page was not written");
    } catch (const std::runtime_error &e) {
        out.discard();
        return fail(e.what());
    }
    if (std::ferror(out.stream())) {
        const int e = errno;
        out.discard();
        return fail("cannot write the page " + output + ": " + std::strerror(e != 0 ? e : EIO));
    }
    if (!out.commit(error)) return fail(error);
    return work_warnings && in.program.status == written ? written_with_warnings : in.program.status;
}

}  // namespace cli
