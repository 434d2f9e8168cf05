// post_check.cpp - post, read back, compare.
#include "tests/property/post_check.h"

#include <set>

#include "host/host.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "nc/program_error.h"
#include "verify/control_setup.h"
#include "verify/job_events.h"

namespace property {

verify::ComparisonResult check_program_text(const job::Job &job, const std::string &program, std::size_t messages) {
    const verify::LaserParSection section = verify::laser_par_section_of(job);
    const nc::Setup setup = verify::control_setup(job, section);
    nc::TextSource source(program);
    nc::BlockReader reader(source, setup.known, setup.texts.get());
    nc::Control control(reader, setup);
    nc::Generator<nc::Event> events = control.events();
    verify::JobEvents expansion(job, setup);
    nc::Generator<verify::JobEvent> job_events = expansion.events();
    verify::ComparisonOptions options;
    options.tolerance = verify::program_tolerance(job.machine.inch);
    options.texts = setup.texts.get();
    options.messages = messages;
    verify::ComparisonResult result = verify::compare(events, job_events, job, section, options);
    result.lines = reader.lines();
    return result;
}

PostCheck post_and_check(const job::Job &job, std::size_t messages) {
    PostCheck o;
    host::reset_host();
    host::set_message_stream(nullptr);
    host::MemoryWriter writer;
    const int result = host::run_program(job, writer);
    host::set_writer(nullptr);
    o.program = writer.text();
    std::set<std::string> posted;
    for (const host::MessageCount &m : host::message_counts()) posted.insert(m.text);
    host::reset_host();
    if (result != 0) {
        o.kind = PostCheck::Kind::stopped;
        o.what = "the program was stopped before its end";
        return o;
    }
    try {
        const verify::ComparisonResult r = check_program_text(job, o.program, messages);
        if (r.differences > 0) {
            o.kind = PostCheck::Kind::fault;
            o.what = std::to_string(r.differences) + " differences";
            for (const std::string &m : r.messages) o.what += "\n    " + m;
            return o;
        }
        // The check warns of what the post warned of, in the same words.
        const std::set<std::string> checked(r.warnings.begin(), r.warnings.end());
        if (posted != checked) {
            o.kind = PostCheck::Kind::fault;
            o.what = "the warnings differ";
            for (const std::string &w : posted) o.what += checked.count(w) != 0 ? "" : "\n    posted only: " + w;
            for (const std::string &w : checked) o.what += posted.count(w) != 0 ? "" : "\n    checked only: " + w;
        }
    } catch (const nc::ProgramError &e) {
        o.kind = PostCheck::Kind::fault;
        o.what = std::string("read back: ") + e.what();
    }
    return o;
}

}  // namespace property
