// The benchmarks' work: the reference line, a bare snprintf loop, writes
// exactly the bytes the module writes for the same hits (otherwise comparing
// their speed would mean nothing), and the timed nibbling writes what it
// should.
#include <string>

#include "bench/module_workload.h"
#include "tests/support/host_fixture.h"

namespace {

TEST_F(HostTest, ReferenceLineWritesTheModulesBytesForTheSameHits) {
    constexpr long HITS = 20000;
    workload::StringWriter module;
    workload::start_hits(module);
    ASSERT_TRUE(workload::write_hits_with_module(HITS));
    std::string reference;
    workload::write_hits_with_snprintf(HITS, reference);

    EXPECT_TRUE(module.text() == reference) << "the reference line differs from the module's text";
    // The hits hold what they are meant to: changes of station, index words
    // and the index turned back to 0 ahead of a change (hits 0, 10, 20, 30).
    EXPECT_EQ(host::accounting().tool_changes, static_cast<int>(HITS / 10));
    for (const char *piece : {"X10Y10T1\r\n", "C0M03\r\nX133.45T2\r\n", "\r\nX256.9T3\r\n", "C0M03\r\nX380.35T1C90\r\n"}) {
        EXPECT_NE(reference.find(piece), std::string::npos) << piece;
    }
}

// The other timed work is real work too: each operation writes its command
// (a line per 3 nibbling operations, a single call per 2 pattern calls).
TEST_F(HostTest, BenchmarkOperationsWriteTheirCommands) {
    struct Case {
        bool (*write)(long);
        const char *command;
        std::size_t expected;
    } cases[] = {
        {workload::write_nibbling_with_module, "CAA/Z", 100},
        {workload::write_nibbling_with_module, "RAD/I", 200},
        {workload::write_pattern_calls_with_module, "PAT01\r\n", 150},
        {workload::write_pattern_calls_with_module, "MGR/01 R 30 4\r\n", 150},
    };
    for (const Case &c : cases) {
        workload::StringWriter out;
        workload::start_hits(out);
        ASSERT_TRUE(c.write(300));
        std::size_t found = 0;
        for (std::size_t at = out.text().find(c.command); at != std::string::npos; at = out.text().find(c.command, at + 1)) ++found;
        EXPECT_EQ(found, c.expected) << c.command;
        EXPECT_TRUE(host::messages().empty()) << c.command;
    }
}

}  // namespace
