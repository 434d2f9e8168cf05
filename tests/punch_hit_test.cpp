// Single hits, positioning moves and the nibbling-on block.
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/punch_fixture.h"

namespace {

class HitTest : public PunchTest {
protected:
    void SetUp() override {
        PunchTest::SetUp();
        use_turret(7000);
    }

    void use_turret(int variant) { PunchTest::use_turret(variant, {{1, 1, "F"}, {2, 2, "R2"}, {3, 3, ""}}); }
};

TEST_F(HitTest, HitBlockHoldsCoordinatesToolAndIndexWords) {
    EXPECT_EQ(pp_hit(10, 20, 3, 1, 90 * DEG, 0, 0), 0);
    EXPECT_EQ(writer.text(), crlf("X10Y20T3C90\n"));
    EXPECT_EQ(host::accounting().hits, 1);

    // Same place, tool and angle: both coordinate words and nothing else.
    EXPECT_EQ(pp_hit(10, 20, 3, 1, 90 * DEG, 0, 0), 0);
    EXPECT_EQ(writer.pieces().back(), crlf("X10Y20\n"));

    // Only an indexable station gets the C word.
    EXPECT_EQ(pp_hit(30, 20, 3, 0, 45 * DEG, 0, 0), 0);
    EXPECT_EQ(writer.pieces().back(), crlf("X30\n"));
    EXPECT_EQ(writer.pieces().size(), 3u);
}

TEST_F(HitTest, PositioningEndsWithM03AndSwitchesHittingOff) {
    std::ostringstream trace;
    host::set_trace(&trace);
    EXPECT_EQ(pp_hit(10, 20, 3, 0, 0.0, 0, 1), 0);
    host::set_trace(nullptr);
    EXPECT_EQ(writer.text(), crlf("X10Y20T3M03\n"));
    EXPECT_NE(trace.str().find("pp_hit_off()"), std::string::npos);
    EXPECT_EQ(trace.str().find("pp_g(0)"), std::string::npos);

    std::ostringstream hit_trace;
    host::set_trace(&hit_trace);
    EXPECT_EQ(pp_hit(30, 20, 3, 0, 0.0, 0, 0), 0);
    host::set_trace(nullptr);
    EXPECT_EQ(writer.pieces().back(), crlf("X30\n"));
    EXPECT_EQ(hit_trace.str().find("pp_hit_off()"), std::string::npos);
    EXPECT_NE(hit_trace.str().find("pp_g(0)"), std::string::npos);
}

TEST_F(HitTest, MovementLeavesWithTheNextHit) {
    pp_movement(5, 6);
    EXPECT_EQ(writer.flushes(), 0);
    EXPECT_EQ(c_nc_buff, crlf("X5Y6M03\n"));
    EXPECT_EQ(pp_hit(10, 6, 3, 0, 0.0, 0, 0), 0);
    EXPECT_EQ(writer.pieces(), (std::vector<std::string>{crlf("X5Y6M03\nX10T3\n")}));
}

TEST_F(HitTest, NibblingOnIsABlockOfItsOwnWithoutFlush) {
    gen_nc_ni_on(1);
    EXPECT_EQ(c_nc_buff, crlf("NBL/\n"));
    EXPECT_EQ(writer.flushes(), 0);
}

// Hits on 7001 with head down, tool changes and a turned index: every hook
// that meets a refused flush answers 1, and the program holds exactly the
// pieces flushed before.
TEST_F(HitTest, RefusedFlushStopsTheHitsAtEveryPoint) {
    auto run = [this](host::MemoryWriter &out) {
        start_new_program();
        host::set_writer(&out);
        use_turret(7001);
        c_nc_laser_head_down = 1;
        std::vector<int> results;
        pp_movement(1, 1);
        results.push_back(pp_hit(10, 20, 1, 1, 30 * DEG, 0, 0));
        if (results.back() == 0) results.push_back(pp_hit(20, 20, 2, 1, 60 * DEG, 0, 1));
        if (results.back() == 0) results.push_back(pp_hit(30, 20, 3, 0, 0.0, 0, 0));
        return results;
    };

    host::MemoryWriter full;
    EXPECT_EQ(run(full), (std::vector<int>{0, 0, 0}));
    const std::vector<std::string> pieces = full.pieces();
    ASSERT_EQ(pieces, (std::vector<std::string>{crlf("X1Y1M03\nM23\nM08\nX10Y20T1C30\n"),
                                                 crlf("X10Y20C0M03\nM09\nM613\nX20T2C60M03\n"),
                                                 crlf("X20Y20C0M03\nM610\nX30T3\n")}));

    for (int n = 1; n <= static_cast<int>(pieces.size()) + 1; ++n) {
        SCOPED_TRACE(n);
        host::MemoryWriter refusing;
        refusing.refuse_from(n);
        const std::vector<int> results = run(refusing);
        EXPECT_EQ(refusing.pieces(), std::vector<std::string>(pieces.begin(), pieces.begin() + (n - 1)));
        EXPECT_EQ(results.back(), n <= static_cast<int>(pieces.size()) ? 1 : 0);
        EXPECT_EQ(results.size(), std::min<std::size_t>(n, pieces.size()));
    }
    host::set_writer(&writer);
}

}  // namespace
