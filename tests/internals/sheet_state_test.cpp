// Module state around the sheet hooks: the pattern offset that the first
// writing event cancels, and the laser modes forgotten at a flip or turn.
#include <string>
#include <vector>

#include "tests/internals/internals_fixture.h"
#include "tests/sheet_fixture.h"

namespace {

class SheetStateTest : public SheetFixture<InternalsTest> {};

TEST_F(SheetStateTest, FirstWritingEventAfterAPatternCallCancelsTheOffsetOnce) {
    const Run r = run([] {
        c_post_processor = 7000;
        pelk::offset_active = 1;  // as an offset pattern call leaves it
        EventRecord quiet;
        quiet.put(EV_TRAP_KIND_AT, 3);
        EventRecord dwell;
        dwell.put(EV_DWELL_AT, 2.0);
        // These write nothing and leave the offset in force.
        int result = pp_sheet_trap_door(quiet.ev()) + pp_sheet_feedrate(quiet.ev()) + pp_sheet_tab_break();
        result += pp_sheet_dwell(dwell.ev());
        result += pp_sheet_stop();
        return result;
    });
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.pieces, (std::vector<std::string>{"OFS/X0Y0\r\nDWL/X 2\r\n", "M00\r\n"}));
    EXPECT_EQ(pelk::offset_active, 0);
}

TEST_F(SheetStateTest, EveryWritingSheetHookCancelsAnOffset) {
    const std::vector<std::pair<const char *, std::function<int()>>> hooks = {
        {"move", [] { return pp_sheet_move(5, 5); }},
        {"NC text", [] { EventRecord ev; return pp_sheet_nc(ev.ev()); }},
        {"feed", [] { c_post_processor = 7002; EventRecord ev; return pp_sheet_feedrate(ev.ev()); }},
        {"trap door", [] { EventRecord ev; ev.put(EV_TRAP_KIND_AT, 5); return pp_sheet_trap_door(ev.ev()); }},
        {"reposition", [] { EventRecord ev; return pp_sheet_reposition(ev.ev()); }},
        {"flip", [] { return pp_sheet_flip_sheet(); }},
        {"turn", [] { EventRecord ev; return pp_sheet_turn_sheet(ev.ev()); }},
    };
    for (const auto &[name, call] : hooks) {
        SCOPED_TRACE(name);
        const Run r = run([&call] {
            pelk::offset_active = 1;
            return call();
        });
        ASSERT_FALSE(r.pieces.empty());
        EXPECT_EQ(r.pieces.front().rfind("OFS/X0Y0\r\n", 0), 0u) << r.pieces.front();
        EXPECT_EQ(pelk::offset_active, 0);
    }
}

TEST_F(SheetStateTest, InsideAPatternBodyTheOffsetStays) {
    const Run r = run([] {
        pelk::offset_active = 1;
        c_nc_in_sub = 1;
        return pp_sheet_stop();
    });
    EXPECT_EQ(r.pieces, std::vector<std::string>{"M00\r\n"});
    EXPECT_EQ(pelk::offset_active, 1);
}

TEST_F(SheetStateTest, FlipAndTurnForgetTheLaserModesOnlyWhenTheStopWentOut) {
    const auto remembered = [] {
        pelk::laser_head_mode = 1;
        pelk::last_laser_m7x = 72;
        pelk::laser_m7x_known = 1;
        pelk::last_laser_tech = 2;
        pelk::laser_tech_known = 1;
    };
    for (int refuse_from : {0, 1, 2, 3}) {
        for (int turn : {0, 1}) {
            SCOPED_TRACE(std::to_string(refuse_from) + (turn ? " turn" : " flip"));
            const Run r = run(
                [&] {
                    remembered();
                    EventRecord ev;
                    return turn ? pp_sheet_turn_sheet(ev.ev()) : pp_sheet_flip_sheet();
                },
                refuse_from);
            const bool went_out = refuse_from == 0;  // a refused stop leaves them as they were
            EXPECT_EQ(r.result, went_out ? 0 : 1);
            EXPECT_EQ(pelk::laser_head_mode, went_out ? -1 : 1);
            EXPECT_EQ(pelk::laser_m7x_known, went_out ? 0 : 1);
            EXPECT_EQ(pelk::laser_tech_known, went_out ? 0 : 1);
        }
    }
}

}  // namespace
