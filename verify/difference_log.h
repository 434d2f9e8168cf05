// difference_log.h - the differences a comparison finds, told as a reader of
// the messages needs them: the first ones in full, each naming the
// program's line and the job's step, the same difference repeated told once
// with its count, every one counted, none formatted beyond what is told.
#pragma once

#include <string>

#include "verify/comparison.h"
#include "verify/difference_tally.h"

namespace verify {

class DifferenceLog {
public:
    DifferenceLog(const job::Job &job, const ComparisonOptions &options, ComparisonResult &result)
        : job_(job), options_(options), result_(result),
          tally_(result.differences, result.messages, result.places, options.messages) {}

    // A difference at a line, in words.
    void at_line(long long line, const std::string &what);
    // The program's a where the job has b; key: what differs, so that the
    // same difference repeated is told once.
    void changed(const nc::Event &a, const JobEvent &b, const std::string &key);
    void extra(const nc::Event &a, const std::string &key);
    // The job's b, which the program lacks; next: the program's event where it
    // would have come, if any.
    void missing(const JobEvent &b, const nc::Event *next, const std::string &key);
    // Something the post warned of too, each text once.
    void warning(const std::string &text);

    // The program's event a is done with (matched, changed or extra).
    void passed(const nc::Event &a) { last_line_ = a.where.line; }

    // Adds the counts of the repeated differences to their messages.
    void finish() { tally_.finish(); }

private:
    std::string line_text(long long line) const;
    std::string program_text(const nc::Event &e, bool with_angle) const;
    std::string job_text(const JobEvent &e) const;

    const job::Job &job_;
    const ComparisonOptions &options_;
    ComparisonResult &result_;
    DifferenceTally tally_;
    long long last_line_ = 0;   // the line of the program's last event done with
};

}  // namespace verify
