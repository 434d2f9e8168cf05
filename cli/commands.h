// commands.h - pelk-post's commands, each answering the exit status.
#pragma once

#include <functional>
#include <string>

#include "cli/options.h"
#include "host/host.h"
#include "job/job.h"

namespace cli {

// A writer put in front of the tool's own, handed every flushed piece first;
// it answers the writer the host is to use.  The tests put one there that
// refuses from a given flush on, to walk every failure path of a run through
// the same code as the tool.
using WriterInFront = std::function<host::NcWriter &(host::NcWriter &own)>;

// post, check of one job (cli/post_command.cpp)
int run_post(const Options &o, const WriterInFront &in_front = {});
// verify, plot, stats (cli/readback_commands.cpp)
int run_verify(const Options &o);
int run_plot(const Options &o);
int run_stats(const Options &o);
// view (cli/view_command.cpp)
int run_view(const Options &o);
// diff (cli/diff_command.cpp)
int run_diff(const Options &o);

struct ReadBack;
// The title of a drawing or a page: the program's file (the job's when the
// job was posted) and the nest's name.
std::string subject_title(const Options &o, const ReadBack &in);

// The job of the command line, with --machine-dir applied.  Throws
// job::JobError naming the place.
job::Job job_of(const Options &o);

// The default output beside the job: its path with the extension, or "-"
// for a job that has no file of its own.
std::string beside_job(const std::string &job_path, const char *extension);

}  // namespace cli
