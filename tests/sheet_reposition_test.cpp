// Repositioning of the sheet: the "REP/" command and the explicit sequence,
// the borrowed pattern style and word mode, and every stop.
#include <string>
#include <vector>

#include "tests/sheet_fixture.h"

namespace {

class RepositionTest : public SheetTest {
protected:
    // Re-grip at (1200, 300), the clamps travelling 800 back, 50 off the sheet.
    static int reposition(int form, double y_clear = 50.0) {
        c_pelk_repos_type = form;
        c_repos_y = 300;
        EventRecord ev;
        ev.put(EV_REPOS_X_AT, 1200.0).put(EV_REPOS_Y_AT, 300.0).put(EV_REPOS_DX_AT, 800.0);
        ev.put(EV_REPOS_Y_CLEAR_AT, y_clear);
        return pp_sheet_reposition(ev.ev());
    }
};

struct FormCase {
    const char *name;
    int form;
    double y_clear;
    std::vector<std::string> pieces;
    int head_down = 0;
};

TEST_F(RepositionTest, BothFormsWriteTheirBlocksAndStopAtEveryRefusedFlush) {
    const std::vector<std::string> explicit_form = {"X1200Y300M03\r\n", "M41\r\n", "DY50\r\n", "DX-800\r\n",
                                                    "DY-50\r\n", "M42\r\n"};
    const std::vector<FormCase> cases = {
        {"command", 1, 50.0, {"X1200Y300M03\r\n", "REP/DX800\r\n"}},
        {"explicit", 0, 50.0, explicit_form},
        {"explicit for any form but 1", 2, 50.0, explicit_form},
        {"no clamp travel: unchanged moves carry both words", 0, 0.0,
         {"X1200Y300M03\r\n", "M41\r\n", "DX0DY0\r\n", "DX-800\r\n", "DX0DY0\r\n", "M42\r\n"}},
        {"laser head down: up before the approach", 1, 50.0, {"M23\r\nX1200Y300M03\r\n", "REP/DX800\r\n"}, 1},
    };
    for (const FormCase &c : cases) {
        SCOPED_TRACE(c.name);
        expect_pieces_and_every_stop(
            [&c] {
                c_nc_laser_head_down = c.head_down;
                return reposition(c.form, c.y_clear);
            },
            c.pieces);
    }
}

// Within the offset pattern style the words would be taken relative to the
// pattern origin; the repositioning writes plain words and gives the style back.
TEST_F(RepositionTest, OffsetPatternStyleIsSetAsideAndRestored) {
    for (int form : {0, 1}) {
        SCOPED_TRACE(form);
        const Run r = run([form] {
            c_nc_sub_type = 7;
            c_nc_abs_sub_x = 100;
            c_nc_abs_sub_y = 100;
            return reposition(form);
        });
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.pieces.front(), "X1200Y300M03\r\n");
        if (form == 0) {
            EXPECT_EQ(r.pieces[2], "DY50\r\n");
        }
        EXPECT_EQ(c_nc_sub_type, 7);
    }
}

TEST_F(RepositionTest, HostStateAfterwards) {
    const struct {
        int form;
        double x;
    } cases[] = {{1, 1200}, {0, 400}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.form);
        run([&c] { return reposition(c.form); });
        EXPECT_EQ(c_nc_x, c.x);
        EXPECT_EQ(c_nc_y, 300);
        EXPECT_EQ(c_nc_absolute, 1);
        EXPECT_EQ(c_repos_y, 0.0);
        EXPECT_EQ(c_nc_sub_type, 0);
    }
}

// A program that stops still leaves the host its own pattern style and word
// mode, whichever flush was refused.
TEST_F(RepositionTest, RefusedFlushGivesBackTheBorrowedModes) {
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        const Run r = run(
            [] {
                c_nc_sub_type = 7;
                return reposition(0);
            },
            n);
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(c_nc_sub_type, 7);
        EXPECT_EQ(c_nc_absolute, 1);
    }
}

}  // namespace
