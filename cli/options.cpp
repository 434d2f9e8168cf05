// options.cpp - pelk-post's commands, options, help texts and version.
#include "cli/options.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include <CLI/CLI.hpp>

#include "cli/exit_status.h"
#include "cli/message_text.h"

#ifndef PELK_VERSION
#define PELK_VERSION "unknown"
#endif
#ifndef PELK_MODULE_FROM_BIN
#define PELK_MODULE_FROM_BIN "../lib/pelk"
#endif
#ifndef PELK_DOCS_FROM_BIN
#define PELK_DOCS_FROM_BIN "../share/doc/pelk-post/docs"
#endif

namespace cli {
namespace {

constexpr const char *DESCRIPTION =
    "pelk-post - writes the NC program of a turret punch press with a laser head\n"
    "from a job file (JSON: machine, sheet, turret, laser technologies and the\n"
    "work in order), using the pelk1 post-processor module; reads programs back\n"
    "to check them against their job, to plot them and to count what they do.\n"
    "\n"
    "The job is read and checked completely first; a job that cannot be taken\n"
    "writes nothing.  The NC program is written aside and put in place only when\n"
    "it is complete, so a failed run leaves an existing output file untouched.\n"
    "Warnings of the module (for instance a missing LASER.PAR) go to standard\n"
    "error, each text once.";

constexpr const char *EXAMPLES =
    "Examples:\n"
    "  pelk-post examples/punching.json              writes examples/punching.nc\n"
    "  pelk-post -o - examples/laser.json            writes to standard output\n"
    "  pelk-post - < job.json > job.nc               job from standard input\n"
    "  pelk-post --machine-dir /etc/pelk job.json    LASER.PAR from /etc/pelk\n"
    "  pelk-post --machine shop.json job.json        machine and turret from shop.json\n"
    "  pelk-post --check --strict job.json           checks, writes nothing\n"
    "  pelk-post -j 2 --output-dir nc jobs/*.json    posts every job, two at once\n"
    "  pelk-post --map job.map job.json              with the block map of every line\n"
    "  pelk-post --no-verify job.json                without comparing it with the job\n"
    "  pelk-post verify job.json job.nc              does job.nc do what job.json says?\n"
    "  pelk-post plot job.json -o job.svg            draws what the machine will do\n"
    "  pelk-post stats job.json --json               strokes, lengths, machine time\n"
    "  pelk-post view job.json                       job.html: walk through the program\n"
    "  pelk-post view prog.nc --machine shop.json    a program without its job\n"
    "  pelk-post diff old.nc new.nc --explain        do two programs make the same parts?\n"
    "  pelk-post diff -j 2 old/ new/                 every program of two folders, paired by name\n";

// The rest of the help, with the installed places of the module and the docs
// as seen from pelk-post's own folder.
constexpr const char *FOOTER =
    "The module is the one named with --module, else by the environment variable\n"
    "PELK_MODULE, else pelk1.so beside pelk-post, else " PELK_MODULE_FROM_BIN "/pelk1.so from\n"
    "pelk-post's folder (where cmake --install puts it).\n"
    "\n"
    "Every program is read back through a model of the control before it is\n"
    "put in place, and compared with the job (--no-verify leaves out the\n"
    "comparison): a stroke or laser cut that reaches into a clamp's zone, or\n"
    "lies off the sheet, is a warning that names the job's step.\n"
    "\n"
    "Exit status:\n"
    "  0  the whole NC program was written (or checked) without warnings, and read\n"
    "     back it does what the job says; verify: the program does what the job says\n"
    "  1  the job was refused, or the program could not be written (nothing was\n"
    "     written), or read back it does not do what the job says (a fault of the\n"
    "     post: see --no-verify); also any warning under --strict; verify: the\n"
    "     program differs from the job, or cannot be read\n"
    "  2  wrong command line, also an output named over a file the run reads (the\n"
    "     job, its machine file, LASER.PAR, the module) or over another output\n"
    "  3  the whole NC program was written (or checked), but with warnings; verify:\n"
    "     it does what the job says, with the warnings the post gave\n"
    "  diff: 0 the programs do the same, 1 they differ (or a program is in one\n"
    "     folder only), 2 wrong command line or a program that cannot be read\n"
    "\n"
    "The job file format is described in docs/job-format.md, the program in\n"
    "docs/nc-output.md; installed, docs/ is " PELK_DOCS_FROM_BIN " from pelk-post's\n"
    "folder (/usr/share/doc/pelk-post/docs from the Debian package).";

// The options of the commands that read programs back, for --help and the
// man page made from it.
std::string commands_help(std::initializer_list<const CLI::App *> commands) {
    std::string text = "Options of the commands:\n";
    for (const CLI::App *command : commands) {
        text += "  pelk-post " + command->get_name();
        for (const CLI::Option *o : command->get_options()) {
            // JOB is always needed (the command line checks it itself), PROGRAM not always.
            const bool needed = o->get_required() || o->get_name() == "JOB";
            if (o->get_positional()) text += " " + std::string(needed ? "" : "[") + o->get_name() + (needed ? "" : "]");
        }
        text += "\n";
        for (const CLI::Option *o : command->get_options()) {
            if (o->get_positional() || o == command->get_help_ptr()) continue;
            std::string names = "    " + o->get_name(false, true);
            if (o->get_type_size() != 0) names += " " + o->get_type_name().substr(0, o->get_type_name().find(':'));
            names.resize(std::max<std::size_t>(names.size() + 2, 30), ' ');
            text += names + o->get_description() + "\n";
        }
    }
    return text + "\n";
}

// Empty names would quietly mean something else (the default output, the
// current folder); they are refused instead.
const CLI::Validator NOT_EMPTY(
    [](const std::string &value) { return value.empty() ? std::string("an empty name") : std::string(); }, "", "");

void add_job(CLI::App &app, Options &o) {
    app.add_option("JOB", o.job_path, "The job file (JSON); \"-\" reads it from standard input")->check(NOT_EMPTY);
}

// plot, stats, view: a job, or a program read alone.
void add_job_or_program(CLI::App &app, Options &o) {
    app.add_option("JOB", o.job_path,
                   "The job file (JSON); \"-\" reads it from standard input.  Or a program alone (a file that is "
                   "no JSON): its sheet and clamps are read from its header, the machine and the turret's shapes "
                   "from --machine")
        ->check(NOT_EMPTY);
}

void add_machine_file(CLI::App &app, Options &o,
                      const char *what = "Machine file (JSON: machine, turret, laser_technologies) of which the job's "
                                         "own keys win, instead of the job's machine_file") {
    app.add_option("--machine", o.machine_file, what)->check(NOT_EMPTY);
}

void add_module_options(CLI::App &app, Options &o) {
    app.add_option("--module", o.module_path, "The post-processor module (default: see below)")->check(NOT_EMPTY);
    app.add_option("--machine-dir", o.machine_dir, "Machine directory holding LASER.PAR (instead of the job's)")
        ->check(NOT_EMPTY);
    add_machine_file(app, o);
    app.add_flag("-q,--quiet", o.quiet, "Do not show warnings (the exit status 3 still tells of them)");
}

// The options of a run that posts jobs: the top level (pelk-post JOB...)
// and the post and check commands.  Several jobs are posted each by a run of
// its own.
void add_post_options(CLI::App &app, Options &o, bool check) {
    app.add_option("JOB", o.jobs,
                   "The job file (JSON); \"-\" reads it from standard input.  Several jobs are posted "
                   "each by a run of its own, several at once (see -j)")
        ->check(NOT_EMPTY);
    add_module_options(app, o);
    CLI::Option *output = nullptr;
    if (!check) {
        output = app.add_option(
            "-o,--output", o.output,
            "Where the NC program goes; \"-\" for standard output (default: the job file with \".nc\"; "
            "standard output for a job from standard input).  One job only");
        output->check(NOT_EMPTY);
        app.add_option("--output-dir", o.output_dir,
                       "Write each program into this folder, named after its job, instead of beside the job")
            ->check(NOT_EMPTY)
            ->excludes(output);
    }
    app.add_option("-j,--parallel", o.parallel, "Post this many jobs at once (default: one per processor core)")
        ->check(CLI::Range(1u, 1024u));
    app.add_flag("--strict,--stop-on-warnings", o.strict,
                 "Any warning fails the run: the module stops, nothing is written, exit status 1");
    CLI::Option *check_flag =
        app.add_flag("--check", o.check_only, "Read and check the job and run the module, but write no NC program");
    if (output != nullptr) check_flag->excludes(output);
    app.add_option("--trace", o.trace_path,
                   "Write every hook call and host service to this file; \"-\" for standard error")
        ->check(NOT_EMPTY);
    app.add_flag("--verify,!--no-verify", o.verify,
                 "The program is read back before it is put in place and held against the job (the default); a "
                 "difference is a fault of the post: it fails the run and writes nothing.  --no-verify writes "
                 "the program without that check");
    CLI::Option *map = app.add_option("--map", o.map_path,
                                      "Write the block map: for every line of the program, the job's step that wrote it");
    map->check(NOT_EMPTY);
    CLI::Option *plot = app.add_option("--plot", o.plot_path, "Draw what the program makes the machine do, as SVG");
    plot->check(NOT_EMPTY);
    check_flag->excludes(map)->excludes(plot);
}

}  // namespace

int parse_command_line(int argc, char **argv, Options &o) {
    CLI::App app{DESCRIPTION, "pelk-post"};
    app.set_version_flag("--version", std::string("pelk-post ") + PELK_VERSION);
    app.require_subcommand(0, 1);
    // pelk-post JOB: the post command, with today's options.
    add_post_options(app, o, false);

    CLI::App *post = app.add_subcommand("post", "Write the NC program of a job (what pelk-post JOB does)");
    add_post_options(*post, o, false);
    CLI::App *check = app.add_subcommand("check", "Read and check a job and run the module, writing nothing");
    add_post_options(*check, o, true);

    CLI::App *verify = app.add_subcommand(
        "verify", "Read a program back and hold it against its job: exit 0 when it does what the job says, 1 when not");
    add_job(*verify, o);
    verify->add_option("PROGRAM", o.program_path, "The NC program")->required()->check(NOT_EMPTY);
    verify->add_option("--machine-dir", o.machine_dir, "Machine directory holding LASER.PAR (instead of the job's)")
        ->check(NOT_EMPTY);
    add_machine_file(*verify, o);
    verify->add_option("--map", o.map_path, "The program's block map (pelk-post --map), to name the job's steps")
        ->check(NOT_EMPTY);
    verify->add_option("--allowance", o.allowance,
                       "Millimetres allowed besides the program's rounding (default 0.001)")
        ->check(CLI::Range(0.0, 1000.0));
    verify->add_option("--messages", o.messages, "How many differences are told in full (default 10)");
    verify->add_flag("-q,--quiet", o.quiet, "Tell only the count");

    CLI::App *plot = app.add_subcommand("plot", "Draw what a job's program makes the machine do, as SVG");
    add_job_or_program(*plot, o);
    plot->add_option("PROGRAM", o.program_path, "A program to draw instead of the job's, read back the same way")
        ->check(NOT_EMPTY);
    plot->add_option("-o,--output", o.output, "The SVG file (default: the job file with \".svg\")")->check(NOT_EMPTY);
    add_module_options(*plot, o);

    CLI::App *stats = app.add_subcommand("stats", "Count what a job's program makes the machine do");
    add_job_or_program(*stats, o);
    stats->add_option("PROGRAM", o.program_path, "A program to count instead of the job's")->check(NOT_EMPTY);
    stats->add_flag("--json", o.json, "One JSON object instead of the table");
    add_module_options(*stats, o);

    CLI::App *view = app.add_subcommand(
        "view", "Write a page (one HTML file) that walks through a program before it runs, linked to its text");
    add_job_or_program(*view, o);
    view->add_option("PROGRAM", o.program_path, "A program to show instead of the job's, held against the job")
        ->check(NOT_EMPTY);
    view->add_option("-o,--output", o.output, "The page (default: the job file, or the program, with \".html\")")
        ->check(NOT_EMPTY);
    view->add_option("--map", o.map_path, "The program's block map (pelk-post --map), to name the job's steps")
        ->check(NOT_EMPTY);
    view->add_option("--allowance", o.allowance, "Millimetres allowed besides the program's rounding (default 0.001)")
        ->check(CLI::Range(0.0, 1000.0));
    add_module_options(*view, o);

    CLI::App *diff = app.add_subcommand(
        "diff", "Compare two programs (or two folders of programs) by what they make the machine and the operator "
                "do: exit 0 when they do the same, 1 when they differ");
    diff->add_option("OLD", o.old_path, "The first program, or a folder of programs")->required()->check(NOT_EMPTY);
    diff->add_option("NEW", o.new_path, "The second program, or a folder of programs paired with OLD's by name")
        ->required()
        ->check(NOT_EMPTY);
    add_machine_file(*diff, o, "The machine file of both programs: their units and load position (default: mm, 0 0)");
    diff->add_option("--old-machine", o.old_machine, "The machine file of OLD alone, instead of --machine")
        ->check(NOT_EMPTY);
    diff->add_option("--new-machine", o.new_machine, "The machine file of NEW alone, instead of --machine")
        ->check(NOT_EMPTY);
    diff->add_flag("--explain", o.explain, "Tell which forms of writing the same work were matched, and what is not compared");
    diff->add_flag("--any-order", o.any_order,
                   "Compare the work of each sheet grip as a set: the same work in another order is no difference");
    diff->add_option("--allowance", o.allowance,
                     "Millimetres allowed besides each program's rounding (default 0.001)")
        ->check(CLI::Range(0.0, 1000.0));
    diff->add_option("--messages", o.messages, "How many differences are told in full, per pair (default 10)");
    diff->add_option("-j,--parallel", o.parallel, "Folders: compare this many pairs at once (default: one per processor core)")
        ->check(CLI::Range(1u, 1024u));
    diff->add_flag("-q,--quiet", o.quiet, "Tell only the counts");

    app.footer(std::string(EXAMPLES) + "\n" + commands_help({verify, plot, stats, view, diff}) + FOOTER);

    // A later option wins over an earlier one, as with most tools.
    for (CLI::App *a : {&app, post, check, verify, plot, stats, view, diff}) {
        for (CLI::Option *option : a->get_options()) {
            if (option->get_name() != "JOB") option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        }
    }
    try {
        app.parse(argc, argv);
        if (!o.jobs.empty()) o.job_path = o.jobs.front();
        if (o.job_path.empty() && !diff->parsed()) throw CLI::RequiredError("JOB");
        // Options that name one file cannot serve several jobs.
        if (o.jobs.size() > 1) {
            if (!o.output.empty()) {
                throw CLI::ValidationError("-o names the program of one job; with several jobs use --output-dir");
            }
            for (const auto &[given, name] : {std::pair{&o.trace_path, "--trace"}, std::pair{&o.map_path, "--map"},
                                              std::pair{&o.plot_path, "--plot"}}) {
                if (!given->empty()) throw CLI::ValidationError(std::string(name) + " follows one job; name one job with it");
            }
        }
    } catch (const CLI::ParseError &e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
        std::fprintf(stderr, "pelk-post: error: %s (see pelk-post --help)\n", printable(e.what()).c_str());
        return bad_command_line;
    }
    if (check->parsed()) {
        o.command = Command::check;
        o.check_only = true;
    } else if (verify->parsed()) {
        o.command = Command::verify;
    } else if (plot->parsed()) {
        o.command = Command::plot;
    } else if (stats->parsed()) {
        o.command = Command::stats;
    } else if (view->parsed()) {
        o.command = Command::view;
    } else if (diff->parsed()) {
        o.command = Command::diff;
    } else {
        o.command = o.check_only ? Command::check : Command::post;
    }
    return -1;
}

}  // namespace cli
