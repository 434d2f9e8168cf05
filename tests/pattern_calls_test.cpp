// Pattern calls: the positioning and the offset style of a single call, the
// tool step ahead of an offset block, and the repeated call in a row.
#include <string>
#include <vector>

#include "tests/pattern_fixture.h"

namespace {

using PatternCallTest = PatternTest;

// The host's state before a call: current station and angle, laser head,
// and whether a repeated call left its offset in force.
struct CallCase {
    const char *name;
    int tool;
    double angle;
    int station_before;
    double angle_before;
    bool head_down;
    bool offset_before;
    const char *expected;
};

class CallStyleTest : public PatternCallTest {
protected:
    void run_cases(int sub_type, const std::vector<CallCase> &cases) {
        for (const CallCase &c : cases) {
            SCOPED_TRACE(c.name);
            use_style(sub_type);
            if (c.offset_before) leave_offset_in_force();
            c_nc_tool = c.station_before;
            c_nc_tool_a = c.angle_before;
            c_nc_laser_head_down = c.head_down ? 1 : 0;
            const int indexable = c.tool == 2 ? 1 : 0;
            EXPECT_EQ(written_by([&] { return pp_sub_call(c.tool, 100, 50, c.angle, indexable, PATTERN_03); }),
                      crlf(c.expected));
            EXPECT_EQ(c_nc_x, 100.0);
            EXPECT_EQ(c_nc_y, 50.0);
            // The offset style leaves its offset for the next main-body
            // operation; the positioning style leaves none.
            EXPECT_EQ(offset_in_force(), sub_type == 7);
        }
    }
};

TEST_F(CallStyleTest, PositioningStyleMovesTheToolToThePatternFirst) {
    run_cases(0, {
        {"new indexable station", 2, 30, 0, 0, false, false, "X100Y50T2C30M03\nPAT03\n"},
        {"same station: the index word is forced", 2, 30, 2, 30, false, false, "X100Y50C30M03\nPAT03\n"},
        {"same fixed station", 1, 45, 1, 0, false, false, "X100Y50M03\nPAT03\n"},
        {"laser head down before a punch", 1, 0, 0, 0, true, false, "M23\nX100Y50T1M03\nPAT03\n"},
        {"index turned back before a change", 1, 0, 2, 45, false, false, "X5Y6C0M03\nX100Y50T1M03\nPAT03\n"},
        {"laser tool: position only", 9, 30, 1, 0, true, false, "X100Y50M03\nPAT03\n"},
        // The position block's words are absolute: an offset that a
        // repeated call left must go first.
        {"offset of a repeated call", 1, 0, 1, 0, false, true, "OFS/X0Y0\nX100Y50M03\nPAT03\n"},
    });
}

TEST_F(CallStyleTest, OffsetStyleWritesThePatternToolBlockOnlyWhenTheToolChanges) {
    run_cases(7, {
        {"laser tool", 9, 30, 1, 45, false, false, "OFS/X100Y50\nPAT03\n"},
        {"same fixed station", 1, 45, 1, 0, false, false, "OFS/X100Y50\nPAT03\n"},
        {"same angle within 1e-6", 2, 30.0000005, 2, 30, false, false, "OFS/X100Y50\nPAT03\n"},
        {"angle 1e-6 apart", 2, 30.000001, 2, 30, false, false, "X5Y6C30M03\nOFS/X100Y50\nPAT03\n"},
        {"new station", 2, 30, 1, 0, false, false, "X5Y6T2C30M03\nOFS/X100Y50\nPAT03\n"},
        {"new station, head down", 1, 0, 2, 0, true, false, "M23\nX5Y6T1M03\nOFS/X100Y50\nPAT03\n"},
        {"new station cancels an offset", 2, 30, 1, 0, false, true, "OFS/X0Y0\nX5Y6T2C30M03\nOFS/X100Y50\nPAT03\n"},
        {"same station: offset after offset", 1, 0, 1, 0, false, true, "OFS/X100Y50\nPAT03\n"},
    });
}

struct RepeatCase {
    double x, y, dx, dy;
    int count;
    const char *expected;
};

TEST_F(PatternCallTest, RepeatedCallPlacesTheRowOnePitchBeforeItsFirstCopy) {
    const RepeatCase cases[] = {
        {100, 50, -20, 0, 4, "OFS/X120Y50\nMGR/03 L 20 4\n"},
        {100, 50, 10, -10, 3, "OFS/X90Y60\nMGR/03 R 10 3 D 10 3\n"},
        {100, 50, 30.25, 20, 2, "OFS/X69.75Y30\nMGR/03 R 30.25 2 U 20 2\n"},
        {100, 50, 0, -12.5, 5, "OFS/X100Y62.5\nMGR/03 D 12.5 5\n"},
        // A component within 1e-6 of zero leaves its axis out of the line,
        // not out of the offset.
        {100, 50, 5e-7, 10, 2, "OFS/X100Y40\nMGR/03 U 10 2\n"},
        {100, 50, -20, -9.99e-7, 2, "OFS/X120Y50\nMGR/03 L 20 2\n"},
        // 1e-6 itself is a pitch.
        {100, 50, -1e-6, 0, 2, "OFS/X100Y50\nMGR/03 L 0 2\n"},
    };
    for (const RepeatCase &c : cases) {
        SCOPED_TRACE(c.expected);
        use_style(0);
        c_nc_tool = 1;
        EXPECT_EQ(written_by([&] { return pp_sub_rep_call(1, c.x, c.y, 0, 0, PATTERN_03, c.dx, c.dy, c.count); }),
                  crlf(c.expected));
        EXPECT_EQ(writer.flushes(), 0);
        // The first copy is the current position, though no words said so.
        EXPECT_EQ(c_nc_x, c.x);
        EXPECT_EQ(c_nc_y, c.y);
        EXPECT_TRUE(offset_in_force());
    }
}

TEST_F(PatternCallTest, RepeatedCallOnAnInchMachine) {
    c_nc_tool = 1;
    c_mch_units = 1;
    EXPECT_EQ(written_by([] { return pp_sub_rep_call(1, 254, 0, 0, 0, PATTERN_03, -25.4, 12.7, 4); }),
              crlf("OFS/X11Y-0.5\nMGR/03 L 1 4 U 0.5 4\n"));
}

TEST_F(PatternCallTest, RepeatedCallPutsTheToolInPlaceWhateverTheStyle) {
    for (int sub_type : {0, 7}) {
        SCOPED_TRACE(sub_type);
        use_style(sub_type);
        c_nc_tool = 1;
        EXPECT_EQ(written_by([] { return pp_sub_rep_call(2, 100, 50, 30, 1, PATTERN_03, 10, 0, 2); }),
                  crlf("X5Y6T2C30M03\nOFS/X90Y50\nMGR/03 R 10 2\n"));
        EXPECT_EQ(written_by([] { return pp_sub_rep_call(9, 100, 50, 30, 1, PATTERN_03, 10, 0, 2); }),
                  crlf("OFS/X90Y50\nMGR/03 R 10 2\n"));
        // Offset after offset with the tool in place: no cancel between.
        EXPECT_EQ(written_by([] { return pp_sub_rep_call(2, 300, 50, 30, 1, PATTERN_03, 10, 0, 2); }),
                  crlf("OFS/X290Y50\nMGR/03 R 10 2\n"));
        // A change of station cancels the offset first (here already the
        // index return ahead of it).
        EXPECT_EQ(written_by([] { return pp_sub_rep_call(1, 500, 50, 0, 0, PATTERN_03, 10, 0, 2); }),
                  crlf("OFS/X0Y0\nX300Y50C0M03\nX300Y50T1M03\nOFS/X490Y50\nMGR/03 R 10 2\n"));
    }
}

// Without a pitch the repeated call is exactly the single call: the same
// blocks, the same state afterwards, no repeat line.
TEST_F(PatternCallTest, ZeroPitchIsExactlyASingleCall) {
    struct Pitch {
        double dx, dy;
    };
    const Pitch pitches[] = {{0, 0}, {9e-7, -9e-7}, {-9.99e-7, 0}, {0, 9.99e-7}};
    for (int sub_type : {0, 7}) {
        for (bool offset_before : {false, true}) {
            for (const Pitch &p : pitches) {
                SCOPED_TRACE(testing::Message() << "style " << sub_type << ", offset " << offset_before << ", pitch "
                                                << p.dx << " " << p.dy);
                auto prepare = [&] {
                    use_style(sub_type);
                    if (offset_before) leave_offset_in_force();
                    c_nc_tool = 1;
                };
                prepare();
                const std::string single = written_by([] { return pp_sub_call(2, 100, 50, 30, 1, PATTERN_03); });
                const bool single_offset = offset_in_force();
                prepare();
                const std::string repeated =
                    written_by([&] { return pp_sub_rep_call(2, 100, 50, 30, 1, PATTERN_03, p.dx, p.dy, 5); });
                EXPECT_EQ(repeated, single);
                EXPECT_EQ(repeated.find("MGR/"), std::string::npos);
                EXPECT_EQ(offset_in_force(), single_offset);
            }
        }
    }
}

// ---- Refused flushes ------------------------------------------------------

TEST_F(PatternCallTest, PositioningStopsCleanlyAtEveryRefusedFlush) {
    expect_stops_at_every_flush(
        [this] {
            use_style(0);
            with_laser_par();
        },
        [] { return pp_sub_precode(9, 100, 50, 0, 0); });
}

TEST_F(PatternCallTest, OffsetIsInForceOnlyOnceItsBlockWasWritten) {
    expect_stops_at_every_flush(
        [this] {
            use_style(7);
            c_nc_tool = 1;
        },
        [] { return pp_sub_precode(2, 100, 50, 30, 1); },
        [this](std::size_t written) { EXPECT_EQ(offset_in_force(), written == 1); });
}

TEST_F(PatternCallTest, SingleCallStopsCleanlyAtEveryRefusedFlush) {
    for (int sub_type : {0, 7}) {
        SCOPED_TRACE(sub_type);
        expect_stops_at_every_flush(
            [this, sub_type] {
                use_style(sub_type);
                with_laser_par();
            },
            [] { return pp_sub_call(9, 100, 50, 0, 0, PATTERN_03); });
        expect_stops_at_every_flush([this, sub_type] { use_style(sub_type); },
                                    [] { return pp_sub_call(2, 100, 50, 30, 1, PATTERN_03); });
    }
}

TEST_F(PatternCallTest, RepeatedCallStopsCleanlyAtEveryRefusedFlush) {
    expect_stops_at_every_flush(
        [this] {
            use_style(0);
            with_laser_par();
        },
        [] { return pp_sub_rep_call(9, 100, 50, 0, 0, PATTERN_03, -20, 0, 4); },
        // PAR1, PAR2, the offset block, the repeat line.
        [this](std::size_t written) { EXPECT_EQ(offset_in_force(), written >= 3); });
    expect_stops_at_every_flush([this] { use_style(7); },
                                [] { return pp_sub_rep_call(2, 100, 50, 30, 1, PATTERN_03, 10, 10, 2); });
    expect_stops_at_every_flush([this] { use_style(0); },
                                [] { return pp_sub_rep_call(2, 100, 50, 30, 1, PATTERN_03, 0, 0, 2); });
}

}  // namespace
