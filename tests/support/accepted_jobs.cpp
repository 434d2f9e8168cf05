// accepted_jobs.cpp - every job text that a test has the reader accept, kept
// for the schema check (tests/schema/check_schema.py).
//
// pelk_tests is linked with --wrap for job::parse_job (tests/CMakeLists.txt),
// so the tests' own calls come here first.  With PELK_ACCEPTED_JOBS naming a
// folder, each text the reader takes is written there once, named by its
// hash; without it nothing is kept.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "job/job_reader.h"

// The reader's own parse_job, and the one the tests call (mangled names of
// job::parse_job(const std::string &, const std::string &, const job::MachineFile *)).
#define PELK_PARSE_JOB _ZN3job9parse_jobERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES7_PKNS_11MachineFileE
#define PELK_JOIN(a, b) a##b
#define PELK_NAME(prefix, name) PELK_JOIN(prefix, name)

extern "C" job::Job PELK_NAME(__real_, PELK_PARSE_JOB)(const std::string &text, const std::string &base_dir,
                                                       const job::MachineFile *machine_file);

extern "C" job::Job PELK_NAME(__wrap_, PELK_PARSE_JOB)(const std::string &text, const std::string &base_dir,
                                                       const job::MachineFile *machine_file) {
    job::Job taken = PELK_NAME(__real_, PELK_PARSE_JOB)(text, base_dir, machine_file);  // a refusal throws past
    if (const char *folder = std::getenv("PELK_ACCEPTED_JOBS"); folder != nullptr && *folder != '\0') {
        char name[32];
        std::snprintf(name, sizeof name, "%016zx.json", std::hash<std::string>{}(text));
        std::ofstream(std::string(folder) + "/" + name, std::ios::binary) << text;
    }
    return taken;
}
