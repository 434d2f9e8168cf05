// job_refusal.h - what the job reader answers to a job text.
#pragma once

#include <string>

#include "job/job_reader.h"

namespace test_support {

// The message of the refusal of text, or "" when the job was taken.
inline std::string refusal(const std::string &text) {
    try {
        job::parse_job(text, "/jobs");
    } catch (const job::JobError &e) {
        return e.what();
    }
    return "";
}

}  // namespace test_support
