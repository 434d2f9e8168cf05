// pipeline_run.cpp - one job through the host and the module, for the fuzz
// targets.
#include "tests/fuzz/pipeline_run.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "host/host.h"

namespace fuzz {
namespace {

[[noreturn]] void fail(const char *what, const PipelineRun &a, const PipelineRun &b) {
    std::fprintf(stderr, "%s: results %d and %d, %zu and %zu pieces, %d and %d flushes\n", what, a.result, b.result,
                 a.pieces.size(), b.pieces.size(), a.flushes, b.flushes);
    std::abort();
}

}  // namespace

void load_module_once() {
    static bool loaded = false;
    if (loaded) return;
    std::string error;
    if (!host::load_module(PELK_MODULE_PATH, error)) {
        std::fprintf(stderr, "cannot load the module: %s\n", error.c_str());
        std::abort();
    }
    loaded = true;
}

PipelineRun run_pipeline(const job::Job &job, bool trace, int refuse_from) {
    load_module_once();
    host::reset_host();
    host::set_message_stream(nullptr);
    std::ostringstream trace_text;
    if (trace) host::set_trace(&trace_text);
    host::MemoryWriter writer;
    writer.refuse_from(refuse_from);
    PipelineRun run;
    run.result = host::run_program(job, writer);
    host::set_trace(nullptr);
    host::set_writer(nullptr);
    run.pieces = writer.pieces();
    run.flushes = writer.flushes();
    run.messages = host::message_total();
    for (const host::MessageCount &m : host::message_counts()) run.warnings.push_back(m.text);
    host::reset_host();
    return run;
}

void check_pipeline(const job::Job &job, unsigned pick) {
    const PipelineRun plain = run_pipeline(job, false);
    const PipelineRun traced = run_pipeline(job, true);
    if (plain.result != traced.result || plain.pieces != traced.pieces || plain.messages != traced.messages) {
        fail("with and without the trace", plain, traced);
    }
    if (plain.flushes == 0) return;
    const int n = static_cast<int>(pick % static_cast<unsigned>(plain.flushes)) + 1;
    const PipelineRun refused = run_pipeline(job, false, n);
    const bool prefix = refused.pieces.size() == static_cast<std::size_t>(n - 1) &&
                        std::equal(refused.pieces.begin(), refused.pieces.end(), plain.pieces.begin());
    if (refused.result != 1 || !prefix) fail("a writer refusing from a flush on", plain, refused);
}

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(at, next - at));
        at = next;
    }
    return lines;
}

}  // namespace fuzz
