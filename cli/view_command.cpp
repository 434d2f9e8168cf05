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
#include "cli/output_file.h"
#include "cli/program_input.h"
#include "cli/readback.h"
#include "nc/program_error.h"
#include "verify/comparison.h"
#include "view/page.h"

namespace cli {
namespace {

constexpr const char *STANDARD_STREAM = "-";
// The differences a page lists in full; the panel tells how many more.
constexpr std::size_t PAGE_DIFFERENCES = 1000;

// Verify's differences and the warnings of the run, as the page marks them.
void add_findings(view::Page &page, const ReadBack &in, const MapFile *map, const BlockMap *posted_map, const Options &o) {
    if (in.alone) return;
    for (const host::MessageCount &m : host::message_counts()) {
        view::Finding f;
        f.text = m.text + (m.count > 1 ? " (" + std::to_string(m.count) + " times)" : "");
        f.kind = "warning";
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
}

}  // namespace

int run_view(const Options &o) {
    const std::string output = o.output.empty() ? beside_job(o.job_path, ".html") : o.output;
    // The page reads the program more than once: its events, its check, its text.
    if (o.program_path == STANDARD_STREAM) return fail("the page reads its program more than once: name a file, not standard input");
    if (output != STANDARD_STREAM) {
        for (const std::string *input : {&o.job_path, &o.program_path, &o.map_path}) {
            if (!input->empty() && *input != STANDARD_STREAM && same_file(*input, output)) {
                return fail("the page " + output + " would be written over " + *input + "; name another with -o");
            }
        }
    }
    MapFile map;
    std::string error;
    if (!o.map_path.empty() && !map.read(o.map_path, error)) return fail(error);
    ReadBack in;
    // The job's program posted here: its block map is kept for the page.
    std::unique_ptr<BlockMap> posted_map;
    if (o.program_path.empty()) posted_map = std::make_unique<BlockMap>(in.job, nullptr, true);
    if (!in.open(o, posted_map.get())) return in.status;
    if (in.alone) posted_map.reset();

    view::PageScene scene;
    scene.scene = scene_of(in.job, subject_title(o, in));
    scene.inch = in.job.machine.inch;
    scene.program_name = in.program.name;
    const stats::TimeModel time(speeds_of(in.job));
    view::Page page(scene, time);
    OutputFile out;
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
        add_findings(page, in, o.map_path.empty() ? nullptr : &map, posted_map.get(), o);
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
    return in.program.status;
}

}  // namespace cli
