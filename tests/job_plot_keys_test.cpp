// The job's keys for reading programs back: the punches' footprints, which
// the plot draws, and the machine's speeds and times of the time estimate
// (their refusals stand in tests/schema/refused_jobs.json).
#include <gtest/gtest.h>

#include "tests/support/job_refusal.h"

namespace {

using test_support::refusal;

std::string turret(const std::string &station) {
    return R"({"turret": [{"tool": 1, "station": 2, )" + station + "}]}";
}

TEST(JobPlotKeys, FootprintsAreTakenOrRefusedWithTheirPath) {
    const job::Job j = job::parse_job(R"({"turret": [{"tool": 1, "station": 2, "shape": "round", "size": 10},
        {"tool": 2, "station": 3, "shape": "obround", "size": [30, 8]}, {"tool": 3, "station": 4}]})",
                                      "/jobs");
    EXPECT_EQ(j.turret[0].shape, job::ToolShape::round);
    EXPECT_EQ(j.turret[0].size_x, 10.0);
    EXPECT_EQ(j.turret[0].size_y, 10.0);
    EXPECT_EQ(j.turret[1].shape, job::ToolShape::obround);
    EXPECT_EQ(j.turret[1].size_y, 8.0);
    EXPECT_EQ(j.turret[2].shape, job::ToolShape::none);

    const struct {
        const char *station;
        const char *message;
    } refused[] = {
        {R"("shape": "round")", "/turret/0: a tool's \"shape\" needs its \"size\""},
        {R"("size": 5)", "/turret/0: a tool's \"size\" needs its \"shape\""},
        {R"("shape": "star", "size": 5)", "/turret/0/shape"},
        {R"("shape": "round", "size": 0)", "/turret/0/size: a tool's size is a number greater than 0"},
        {R"("shape": "square", "size": [5, 5])", "/turret/0/size"},
        {R"("shape": "rectangle", "size": 5)", "/turret/0/size"},
        {R"("shape": "rectangle", "size": [5, -1])", "/turret/0/size: a tool's size is [x, y], both greater than 0"},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.station);
        EXPECT_NE(refusal(turret(c.station)).find(c.message), std::string::npos) << refusal(turret(c.station));
    }
}

TEST(JobPlotKeys, SpeedsAreAboveZero) {
    const job::Job j = job::parse_job(R"({"machine": {"strokes_per_minute": 450, "positioning_speed": 80}})", "/jobs");
    EXPECT_EQ(j.machine.strokes_per_minute, 450.0);
    EXPECT_EQ(j.machine.positioning_speed, 80.0);
    EXPECT_EQ(job::parse_job("{}", "/jobs").machine.strokes_per_minute, 300.0);
    EXPECT_NE(refusal(R"({"machine": {"strokes_per_minute": 0}})").find("/machine/strokes_per_minute: a speed must be greater than 0"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"machine": {"positioning_speed": -1}})").find("/machine/positioning_speed"), std::string::npos);
}

TEST(JobPlotKeys, TheMachineTimesAreTakenOrStandAtTheirDefaults) {
    const job::Job j = job::parse_job(R"({"machine": {"acceleration": 4.5, "tool_change_time": 2, "turret_step_time": 0.1,
        "turret_stations": 58, "index_turn_time": 0.8, "pierce_time": 0.3, "regrip_time": 6, "stop_time": 0,
        "turn_time": 86400}, "laser_technologies": [{"number": 1, "pierce_time": 1.5}, {"number": 2}]})",
                                      "/jobs");
    const job::Machine &m = j.machine;
    EXPECT_EQ(m.acceleration, 4.5);
    EXPECT_EQ(m.tool_change_time, 2.0);
    EXPECT_EQ(m.turret_step_time, 0.1);
    EXPECT_EQ(m.turret_stations, 58);
    EXPECT_EQ(m.index_turn_time, 0.8);
    EXPECT_EQ(m.pierce_time, 0.3);
    EXPECT_EQ(m.regrip_time, 6.0);
    EXPECT_EQ(m.stop_time, 0.0);
    EXPECT_EQ(m.turn_time, 86400.0);
    EXPECT_EQ(j.technologies[0].pierce_time, 1.5);
    EXPECT_EQ(j.technologies[1].pierce_time, job::MACHINE_PIERCE_TIME);
    const job::Machine d = job::parse_job("{}", "/jobs").machine;
    EXPECT_EQ(d.acceleration, 10.0);
    EXPECT_EQ(d.tool_change_time, 1.5);
    EXPECT_EQ(d.turret_step_time, 0.0);
    EXPECT_EQ(d.turret_stations, 32);
    EXPECT_EQ(d.index_turn_time, 1.2);
    EXPECT_EQ(d.pierce_time, 0.5);
    EXPECT_EQ(d.regrip_time, 4.0);
    EXPECT_EQ(d.stop_time, 10.0);
    EXPECT_EQ(d.turn_time, 60.0);
    // The turret's stations hold every station of it: named fewer, refused;
    // left out, as many as its highest station.
    EXPECT_NE(refusal(R"({"machine": {"turret_stations": 4}, "turret": [{"tool": 12, "station": 7}]})")
                  .find("/machine/turret_stations: 4 stations round the turret, but the turret names station 7 (tool 12)"),
              std::string::npos);
    EXPECT_EQ(job::parse_job(R"({"turret": [{"tool": 12, "station": 40}]})", "/jobs").machine.turret_stations, 40);
}

}  // namespace
