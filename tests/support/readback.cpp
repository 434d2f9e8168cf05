#include "tests/support/readback.h"

#include <gtest/gtest.h>

#include "host/host.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "tests/property/post_check.h"
#include "verify/event_text.h"

std::string posted_program(const job::Job &job) {
    host::reset_host();
    host::set_message_stream(nullptr);
    host::MemoryWriter writer;
    const int result = host::run_program(job, writer);
    host::set_writer(nullptr);
    EXPECT_EQ(result, 0) << "the program was not written whole";
    return writer.text();
}

verify::ComparisonResult check_program(const job::Job &job, const std::string &program) {
    return property::check_program_text(job, program, 20);
}

std::vector<nc::Event> program_events(const std::string &program, const nc::Setup &setup) {
    nc::TextSource source(program);
    nc::BlockReader reader(source, setup.known, setup.texts.get());
    nc::Control control(reader, setup);
    nc::Generator<nc::Event> events = control.events();
    std::vector<nc::Event> all;
    nc::Event e;
    while (events.next(e)) all.push_back(e);
    return all;
}

std::string events_text(const std::vector<nc::Event> &events) {
    std::string text;
    for (const nc::Event &e : events) text += verify::event_text(e, false, true) + "\n";
    return text;
}

std::string source_path(const std::string &relative) { return std::string(PELK_SOURCE_DIR) + "/" + relative; }
