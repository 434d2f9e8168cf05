// Flip and turn: the safe state and load position before the operator stop,
// the operator comment of each kind, and what the host remembers afterwards.
#include <string>
#include <vector>

#include "tests/sheet_fixture.h"

namespace {

class FlipTurnTest : public SheetTest {
protected:
    static int turn(int kind) {
        EventRecord ev;
        ev.put(EV_TURN_KIND_AT, kind);
        return pp_sheet_turn_sheet(ev.ev());
    }

    // Load position (50, 20); the tool at (300, 200).
    static void at_work() {
        c_load_pos_x = 50;
        c_load_pos_y = 20;
        c_nc_x = 300;
        c_nc_y = 200;
    }

    // Index turned, laser work in use, the sheet repositioned by 800.
    static void everything_to_undo() {
        at_work();
        c_nc_tool_a = 90;
        c_laser_allowed = 2;
        c_done_repos_flag = 1;
        current_repos_x = 800;
    }
};

struct StopCase {
    const char *name;
    std::function<int()> call;
    std::vector<std::string> pieces;
};

TEST_F(FlipTurnTest, EachStopWritesItsBlocksAndStopsAtEveryRefusedFlush) {
    const std::vector<std::string> full_flip = {"X300Y200C0M03\r\n", "M20\r\n", "X850Y20M03\r\n", "FRM/X50\r\n", "",
                                                "(FLIP THE SHEET AND RESTART)\r\n", "M00\r\n"};
    const std::vector<StopCase> cases = {
        {"flip, everything to undo", [] { everything_to_undo(); return pp_sheet_flip_sheet(); }, full_flip},
        {"flip from a plain state", [] { at_work(); return pp_sheet_flip_sheet(); },
         {"X50Y20M03\r\n", "", "(FLIP THE SHEET AND RESTART)\r\n", "M00\r\n"}},
        {"turn 0", [] { at_work(); return turn(0); },
         {"X50Y20M03\r\n", "", "(TURN THE SHEET 90 DEGREES CLOCKWISE AND RESTART)\r\n", "M00\r\n"}},
        {"turn 1", [] { at_work(); return turn(1); },
         {"X50Y20M03\r\n", "", "(TURN THE SHEET 180 DEGREES AND RESTART)\r\n", "M00\r\n"}},
        {"turn 2, everything to undo", [] { everything_to_undo(); return turn(2); },
         {"X300Y200C0M03\r\n", "M20\r\n", "X850Y20M03\r\n", "FRM/X50\r\n", "",
          "(TURN THE SHEET 90 DEGREES COUNTERCLOCKWISE AND RESTART)\r\n", "M00\r\n"}},
        {"turn 3: no comment, the flush all the same", [] { at_work(); return turn(3); },
         {"X50Y20M03\r\n", "", "", "M00\r\n"}},
        {"laser head down goes up first",
         [] {
             at_work();
             c_nc_laser_head_down = 1;
             return pp_sheet_flip_sheet();
         },
         {"M23\r\nX50Y20M03\r\n", "", "(FLIP THE SHEET AND RESTART)\r\n", "M00\r\n"}},
    };
    for (const StopCase &c : cases) {
        SCOPED_TRACE(c.name);
        expect_pieces_and_every_stop(c.call, c.pieces);
    }
}

TEST_F(FlipTurnTest, IndexHomeOnlyForAnAngleOffZero) {
    const struct {
        double angle;
        bool home;
    } cases[] = {{0.0, false}, {9e-7, false}, {-9e-7, false}, {1e-6, true}, {-1e-6, true}, {90, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.angle);
        const Run r = run([&c] {
            at_work();
            c_nc_tool_a = c.angle;
            return pp_sheet_flip_sheet();
        });
        EXPECT_EQ(r.pieces.front() == "X300Y200C0M03\r\n", c.home);
    }
}

TEST_F(FlipTurnTest, AfterTheStopTheToolAndPositionStartAfresh) {
    const Run r = run([] {
        everything_to_undo();
        c_nc_tool = 4;
        return pp_sheet_flip_sheet();
    });
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(c_nc_tool, 0);
    EXPECT_EQ(c_nc_x, 50);  // the load position, without the repositioning shift
    EXPECT_EQ(c_nc_y, 20);
}

TEST_F(FlipTurnTest, RefusedStopLeavesTheToolAndPosition) {
    const Run r = run(
        [] {
            at_work();
            c_nc_tool = 4;
            return pp_sheet_flip_sheet();
        },
        4);  // the M00 block
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(c_nc_tool, 4);
    EXPECT_EQ(c_nc_x, 50);  // where the load-position move left it
}

}  // namespace
