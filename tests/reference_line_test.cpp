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

// The nibbling the benchmark times is real work: every operation writes its
// command, none is refused.
TEST_F(HostTest, BenchmarkNibblingWritesACommandPerOperation) {
    workload::StringWriter out;
    workload::start_hits(out);
    ASSERT_TRUE(workload::write_nibbling_with_module(300));
    std::size_t lines = 0, rounds = 0;
    for (std::size_t at = out.text().find("CAA/Z"); at != std::string::npos; at = out.text().find("CAA/Z", at + 1)) ++lines;
    for (std::size_t at = out.text().find("RAD/I"); at != std::string::npos; at = out.text().find("RAD/I", at + 1)) ++rounds;
    EXPECT_EQ(lines, 100u);
    EXPECT_EQ(rounds, 200u);
    EXPECT_TRUE(host::messages().empty());
}

// Likewise the timed pattern calls: a call line per single call, a repeat
// line per row.
TEST_F(HostTest, BenchmarkPatternCallsWriteALinePerCall) {
    workload::StringWriter out;
    workload::start_hits(out);
    ASSERT_TRUE(workload::write_pattern_calls_with_module(200));
    std::size_t singles = 0, rows = 0;
    for (std::size_t at = out.text().find("PAT01\r\n"); at != std::string::npos; at = out.text().find("PAT01\r\n", at + 1)) ++singles;
    for (std::size_t at = out.text().find("MGR/01 R 30 4\r\n"); at != std::string::npos; at = out.text().find("MGR/01 R 30 4\r\n", at + 1)) ++rows;
    EXPECT_EQ(singles, 100u);
    EXPECT_EQ(rows, 100u);
    EXPECT_TRUE(host::messages().empty());
}

}  // namespace
