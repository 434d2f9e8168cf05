// The simple sheet events: what each writes, in which flushes, and where a
// refused flush stops it.
#include <string>
#include <vector>

#include "tests/sheet_fixture.h"

namespace {

class SheetEventTest : public SheetTest {};

// ---- Every event that writes: its blocks, flush by flush, and its stops -----

struct EventCase {
    const char *name;
    std::function<int()> call;
    std::vector<std::string> pieces;
};

TEST_F(SheetEventTest, EachEventWritesItsBlocksAndStopsAtEveryRefusedFlush) {
    const auto at = [](double x, double y) {
        c_nc_x = x;
        c_nc_y = y;
    };
    const std::vector<EventCase> cases = {
        {"stop", [] { return pp_sheet_stop(); }, {"M00\r\n"}},
        {"trap door",
         [&] {
             at(100, 50);
             EventRecord r;
             r.put(EV_TRAP_DX_AT, 20.0).put(EV_TRAP_DY_AT, -10.0).put(EV_TRAP_KIND_AT, 5);
             return pp_sheet_trap_door(r.ev());
         },
         {"M55\r\n", "X120Y40M56\r\n"}},
        {"trap door where the tool stands: both words",
         [&] {
             at(100, 50);
             EventRecord r;
             r.put(EV_TRAP_KIND_AT, 5);
             return pp_sheet_trap_door(r.ev());
         },
         {"M55\r\n", "X100Y50M56\r\n"}},
        {"NC text",
         [] {
             EventRecord r;
             r.put_text("(CHECK THE PART)");
             return pp_sheet_nc(r.ev());
         },
         {"(CHECK THE PART)\r\n"}},
        {"empty NC text: the block end alone",
         [] {
             EventRecord r;
             return pp_sheet_nc(r.ev());
         },
         {"\r\n"}},
        {"feed range while punching",
         [] {
             c_post_processor = 7001;
             c_max_feedrate = 10;
             EventRecord r;
             r.put(EV_FEED_AT, 2.5);
             return pp_sheet_feedrate(r.ev());
         },
         {"M83\r\n"}},
        {"dwell",
         [] {
             EventRecord r;
             r.put(EV_DWELL_AT, 1.5);
             return pp_sheet_dwell(r.ev());
         },
         {"DWL/X 1.5\r\n"}},
        {"move", [&] { at(10, 20); return pp_sheet_move(15, 20); }, {"X15M03\r\n"}},
        {"move to where the tool stands: both words", [&] { at(10, 20); return pp_sheet_move(10, 20); },
         {"X10Y20M03\r\n"}},
        {"laser head down: the events leave the head to the laser hooks",
         [] {
             c_nc_laser_head_down = 1;
             return pp_sheet_stop();
         },
         {"M00\r\n"}},
    };
    for (const EventCase &c : cases) {
        SCOPED_TRACE(c.name);
        expect_pieces_and_every_stop(c.call, c.pieces);
    }
}

// ---- Trap door ----------------------------------------------------------------

TEST_F(SheetEventTest, OnlyTrapDoorKindFiveWritesAnything) {
    for (int kind : {-1, 0, 1, 4, 6, 55}) {
        SCOPED_TRACE(kind);
        const Run r = run([kind] {
            EventRecord ev;
            ev.put(EV_TRAP_DX_AT, 20.0).put(EV_TRAP_KIND_AT, kind);
            c_nc_laser_head_down = 1;  // not even the opening: no M23
            return pp_sheet_trap_door(ev.ev());
        });
        EXPECT_EQ(r.result, 0);
        EXPECT_TRUE(r.pieces.empty());
        EXPECT_STREQ(c_nc_buff, "");
        EXPECT_EQ(c_nc_laser_head_down, 1);
    }
}

// ---- Feed changes: feed range while punching, F word while the laser cuts ----

struct FeedCase {
    int variant;
    int laser_on;
    double feed;
    const char *block;  // empty: nothing written, no flush
};

TEST_F(SheetEventTest, FeedEventByVariantAndLaser) {
    const FeedCase cases[] = {
        {7000, 0, 2.5, ""},        {7000, 1, 2.5, ""},        {0, 0, 2.5, ""},
        {7001, 0, 2.5, "M83\r\n"}, {7001, 0, 5.0, "M82\r\n"}, {7001, 0, 7.5, "M81\r\n"},
        {7002, 0, 7.6, "M80\r\n"}, {7001, 1, 2.5, "F250\r\n"}, {7002, 1, 1.234, "F123.4\r\n"},
    };
    for (const FeedCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.variant) + (c.laser_on ? " laser on " : " laser off ") + std::to_string(c.feed));
        const Run r = run([&c] {
            c_post_processor = c.variant;
            c_nc_laser_on = c.laser_on;
            c_max_feedrate = 10;
            EventRecord ev;
            ev.put(EV_FEED_AT, c.feed);
            return pp_sheet_feedrate(ev.ev());
        });
        EXPECT_EQ(r.result, 0);
        if (*c.block == '\0') {
            EXPECT_TRUE(r.pieces.empty());
        } else {
            EXPECT_EQ(r.pieces, std::vector<std::string>{c.block});
        }
        EXPECT_STREQ(c_nc_buff, "");
    }
}

// ---- Free NC text: always exactly one block --------------------------------

TEST_F(SheetEventTest, FreeTextNeverAddsLinesNorEndsTheProgram) {
    const struct {
        const char *text;
        const char *block;
    } cases[] = {
        {"M99", "M99\r\n"},
        {"A\r\nB", "A  B\r\n"},                 // a line break stays inside the block
        {"A\nM30\n%", "A M30 %\r\n"},           // '%' after other text does not open a line
        {"%", "\r\n"},                          // would end the program: left out
        {"  %%\tX1", "   X1\r\n"},              // blanks, '%'s, tab: the line opens with X1
        {"\n%", " \r\n"},
        {"50% FEED", "50% FEED\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const Run r = run([&c] {
            EventRecord ev;
            ev.put_text(c.text);
            return pp_sheet_nc(ev.ev());
        });
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.pieces, std::vector<std::string>{c.block});
    }
}

TEST_F(SheetEventTest, FreeTextIsReadOnlyWithinItsField) {
    // A record whose text field has no terminating zero, and nothing after it.
    std::vector<char> ev(EV_RECORD_SIZE, 'A');
    const Run r = run([&ev] { return pp_sheet_nc(ev.data()); });
    EXPECT_EQ(r.pieces, std::vector<std::string>{std::string(EV_NC_TEXT_SIZE - 1, 'A') + "\r\n"});
}

}  // namespace
