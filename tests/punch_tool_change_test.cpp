// Tool changes as the hit hook writes them: index return, forming mode
// (M08/M09), the M61x modes of variant 7001, and the tool word itself.
#include <cstring>
#include <string>
#include <vector>

#include "interface/host_records.h"
#include "tests/punch_fixture.h"

namespace {

class ToolChangeTest : public PunchTest {
protected:
    void set_station_count(int count) { std::memcpy(c_tool_stations + STATION_COUNT_AT, &count, sizeof count); }
};

TEST_F(ToolChangeTest, FormingToolsGetM08AtEveryChangeAndTheNextOtherToolM09) {
    use_turret(7002, {{1, 1, "F"}, {2, 2, "F"}, {3, 3, ""}, {4, 4, ""}});
    EXPECT_EQ(hit(10, 20, 1), crlf("M08\nX10Y20T1\n"));
    EXPECT_EQ(c_last_form_flag, 1);
    EXPECT_EQ(hit(30, 20, 2), crlf("M08\nX30T2\n"));
    EXPECT_EQ(hit(40, 20, 3), crlf("M09\nX40T3\n"));
    EXPECT_EQ(c_last_form_flag, 0);
    EXPECT_EQ(hit(50, 20, 4), crlf("X50T4\n"));
}

TEST_F(ToolChangeTest, M61xModeFollowsTheNumberAfterR) {
    struct Case {
        const char *options;
        const char *m_word;
    };
    const Case cases[] = {
        {"R", "M610"},   {"R0", "M610"},  {"R1", "M611"},   {"R2", "M613"},  {"R3", "M615"},
        {"R9", "M615"},  {"R-1", "M610"}, {"Rx", "M610"},   {"xR2y", "M613"}, {"R1R3", "M611"},
        {"R99999999999999999999", "M615"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options);
        use_turret(7001, {{1, 1, c.options}});
        EXPECT_EQ(hit(10, 20, 1), crlf(std::string(c.m_word) + "\nX10Y20T1\n"));
    }
}

TEST_F(ToolChangeTest, StationWithoutRWritesM610OnlyAfterAnotherMode) {
    use_turret(7001, {{1, 1, "R2"}, {2, 2, ""}, {3, 3, ""}});
    EXPECT_EQ(hit(10, 20, 2), crlf("X10Y20T2\n"));
    EXPECT_EQ(hit(20, 20, 1), crlf("M613\nX20T1\n"));
    EXPECT_EQ(hit(30, 20, 2), crlf("M610\nX30T2\n"));
    EXPECT_EQ(hit(40, 20, 3), crlf("X40T3\n"));
    // The mode block is written at every change to an R station, also when
    // the mode is already in force.
    EXPECT_EQ(hit(50, 20, 1), crlf("M613\nX50T1\n"));
    EXPECT_EQ(hit(60, 20, 3), crlf("M610\nX60T3\n"));
}

TEST_F(ToolChangeTest, OnlyVariant7001ReadsRAndOnly7001And7002ReadF) {
    use_turret(7002, {{1, 1, "R2"}, {2, 2, "FR3"}});
    EXPECT_EQ(hit(10, 20, 1), crlf("X10Y20T1\n"));
    EXPECT_EQ(hit(20, 20, 2), crlf("M08\nX20T2\n"));

    use_turret(7000, {{1, 1, "FR2"}, {2, 2, ""}});
    c_last_form_flag = 1;
    EXPECT_EQ(hit(10, 20, 1), crlf("X10Y20T1\n"));
    EXPECT_EQ(hit(20, 20, 2), crlf("X20T2\n"));
    EXPECT_EQ(c_last_form_flag, 1);
}

TEST_F(ToolChangeTest, FormingModeComesBeforeM61xMode) {
    use_turret(7001, {{1, 1, "FR1"}});
    EXPECT_EQ(hit(10, 20, 1), crlf("M08\nM611\nX10Y20T1\n"));
}

TEST_F(ToolChangeTest, LaserToolRecordsAreSkippedEvenOnTheSameStation) {
    job::Station laser{10, 4, "FR3"};
    laser.laser = true;
    use_turret(7001, {laser, {11, 4, ""}});
    EXPECT_EQ(hit(10, 20, 11), crlf("X10Y20T4\n"));
}

TEST_F(ToolChangeTest, ModeOfTheLastMatchingRecordWithRCounts) {
    use_turret(7001, {{1, 3, "R1"}, {2, 3, "F"}, {5, 3, "R2"}, {6, 3, ""}});
    EXPECT_EQ(hit(10, 20, 6), crlf("M08\nM613\nX10Y20T3\n"));
}

TEST_F(ToolChangeTest, RecordsBeyondTheStationCountAreNotRead) {
    use_turret(7001, {{7, 3, ""}, {8, 3, "FR2"}});
    set_station_count(1);
    c_last_form_flag = 1;
    EXPECT_EQ(hit(10, 20, 7), crlf("M09\nX10Y20T3\n"));
}

TEST_F(ToolChangeTest, OptionLettersAreReadWithinTheirField) {
    use_turret(7001, {{1, 1, ""}});
    // A host that fills the whole field leaves no terminating zero; the
    // letter after the field must not be taken as the number after 'R'.
    unsigned char *options = c_tool_stations + STATION_RECORD_FIRST + STATION_OPTIONS_AT;
    std::memset(options, 'x', STATION_OPTIONS_SIZE);
    options[STATION_OPTIONS_SIZE - 1] = 'R';
    options[STATION_OPTIONS_SIZE] = '3';
    EXPECT_EQ(hit(10, 20, 1), crlf("M610\nX10Y20T1\n"));
}

TEST_F(ToolChangeTest, TurnedIndexIsReturnedBeforeTheModeBlocksAndTheHit) {
    use_turret(7001, {{1, 1, "FR1"}});
    c_nc_tool = 5;
    c_nc_tool_a = 30.0;
    c_nc_x = 5.0;
    c_nc_y = 6.0;
    EXPECT_EQ(hit(10, 20, 1, 1, 90.0), crlf("X5Y6C0M03\nM08\nM611\nX10Y20T1C90\n"));
    ASSERT_EQ(writer.pieces().size(), 1u);
    EXPECT_EQ(c_nc_tool, 1);
    EXPECT_DOUBLE_EQ(c_nc_tool_a, 90.0);
}

TEST_F(ToolChangeTest, IndexWithinAMillionthOfADegreeCountsAsZero) {
    use_turret(7000, {{1, 1, ""}, {2, 2, ""}});
    c_nc_tool = 2;
    c_nc_tool_a = 5e-7;
    EXPECT_EQ(hit(10, 20, 1), crlf("X10Y20T1\n"));

    c_nc_tool = 2;
    c_nc_tool_a = -1e-6;
    EXPECT_EQ(hit(30, 20, 1), crlf("X10Y20C0M03\nX30T1\n"));
}

TEST_F(ToolChangeTest, SameStationWritesNoToolChangeBlocks) {
    use_turret(7001, {{1, 1, "FR2"}});
    c_nc_tool = 1;
    c_nc_tool_a = 45.0;
    c_last_form_flag = 1;
    EXPECT_EQ(hit(10, 20, 1), crlf("X10Y20\n"));
    EXPECT_EQ(c_last_form_flag, 1);
    EXPECT_EQ(host::accounting().tool_changes, 0);
}

TEST_F(ToolChangeTest, ToolWordRecordsTheStationAndPutsTheIndexAtZero) {
    use_turret(7000, {});
    c_nc_tool = 1;
    c_nc_tool_a = 45.0;
    pp_tool(3);
    EXPECT_EQ(output(), "T3");
    EXPECT_EQ(c_nc_tool, 3);
    EXPECT_EQ(c_nc_tool_a, 0.0);
    EXPECT_EQ(host::accounting().tool_changes, 1);
    EXPECT_EQ(host::accounting().index_changes, 1);
    EXPECT_EQ(host::accounting().form_activations, 1);

    pp_tool(3);
    EXPECT_EQ(output(), "T3");
    EXPECT_EQ(host::accounting().tool_changes, 1);
}

TEST_F(ToolChangeTest, StationBelowOneIsReportedAndWritesNothing) {
    use_turret(7000, {});
    c_nc_tool = 2;
    c_nc_tool_a = 45.0;
    pp_tool(0);
    pp_tool(-3);
    EXPECT_EQ(output(), "");
    EXPECT_EQ(c_nc_tool, 2);
    EXPECT_EQ(c_nc_tool_a, 45.0);
    EXPECT_EQ(host::accounting().tool_changes, 0);
    EXPECT_EQ(host::messages(),
              (std::vector<std::string>{"warning: there is no turret station 0", "warning: there is no turret station -3"}));
}

TEST_F(ToolChangeTest, HitWithAToolOutsideTheTurretIsWrittenWithoutToolWord) {
    use_turret(7001, {{1, 1, "R2"}});
    c_nc_tool = 1;
    EXPECT_EQ(hit(10, 20, 99), crlf("X10Y20\n"));
    EXPECT_EQ(host::messages(), (std::vector<std::string>{"warning: there is no turret station 0"}));
}

}  // namespace
