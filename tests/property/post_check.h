// post_check.h - a job posted in this process and its program read back and
// held against it, as pelk-post posts and checks it: the property that the
// random jobs and the fuzz targets hold every program to.
#pragma once

#include <cstddef>
#include <string>

#include "job/job.h"
#include "verify/comparison.h"

namespace property {

struct PostCheck {
    enum class Kind {
        verified,         // written whole, it does what the job says, with the post's warnings
        stopped,          // the module stopped the program before its end
        fault,            // written whole, but it differs from the job, the control cannot run it, or the
                          // warnings of the check are not the post's
    } kind = Kind::verified;
    std::string program;  // the NC text written
    std::string what;     // the fault: the count and the first differences, or the reader's message
};

// The program held against the job as `pelk-post verify` holds it, the first
// messages differences told in full.  Throws nc::ProgramError for a program
// the control cannot run.
verify::ComparisonResult check_program_text(const job::Job &job, const std::string &program, std::size_t messages);

// Posts the job with the loaded module (from a fresh host state, warnings
// kept, not shown), reads the program back and holds it against the job: it
// must do what the job says, and the check must warn of exactly what the
// post warned of (each text once, in the same words).
PostCheck post_and_check(const job::Job &job, std::size_t messages = 5);

}  // namespace property
