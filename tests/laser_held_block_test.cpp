// The held-back cutting block: release by the laser off of every type, the
// order of the block-number steps, held text with inner block ends, and a
// text too long to be held.
#include <sstream>
#include <string>

#include "tests/laser_fixture.h"

namespace {

class LaserHeldBlockTest : public LaserTest {
protected:
    void SetUp() override {
        LaserTest::SetUp();
        start_program();
    }

    // Holds "X50F250" (a line from (10, 0) to (50, 0)) and forgets the
    // output up to there.
    void hold_a_line() {
        ASSERT_EQ(pp_laser_line(10, 0, 50, 0, ContourRecord(0).co()), 0);
        take_output();
    }

    // The host calls of one laser off, in order, as the host's trace shows
    // the block-number steps, block ends and M words.
    std::string laser_off_calls(int block_open, int off_type) {
        std::ostringstream trace;
        host::set_trace(&trace);
        pp_laser_off(block_open, off_type);
        host::set_trace(nullptr);
        std::string calls;
        std::istringstream lines(trace.str());
        for (std::string line; std::getline(lines, line);) {
            if (line == "pp_n()") calls += "n ";
            else if (line == "pp_eob()") calls += "eob ";
            else if (line.rfind("pp_m(", 0) == 0) calls += "M" + line.substr(5, line.size() - 6) + " ";
        }
        return calls;
    }
};

TEST_F(LaserHeldBlockTest, TypeZeroLeavesEverythingHeld) {
    hold_a_line();
    c_nc_laser_off_comp = 2;
    pp_laser_off(0, 0);
    pp_laser_off(1, 0);
    EXPECT_EQ(take_output(), "");
    EXPECT_EQ(c_nc_laser_off_comp, 2);
    pp_laser_off(0, 1);
    EXPECT_EQ(take_output(), crlf("X50F250\nM21\nLED/DX0DY0\n"));
    EXPECT_EQ(c_nc_laser_off_comp, 0);
}

TEST_F(LaserHeldBlockTest, EveryTypeAndBlockOpenForm) {
    for (int block_open : {0, 1}) {
        for (int off_type = 1; off_type <= 7; ++off_type) {
            SCOPED_TRACE(testing::Message() << "block_open " << block_open << ", type " << off_type);
            start_program();
            hold_a_line();
            c_nc_laser_off_comp = 1;
            const int block_before = c_nc_block;
            const std::string calls = laser_off_calls(block_open, off_type);
            const bool m23 = off_type >= 2;
            EXPECT_EQ(take_output(), crlf(std::string("X50F250\nM21\nLED/DX0DY0\n") + (m23 ? "M23\n" : "")));
            // Each block gets its block-number step: before it, or after it
            // when the caller has already begun the next block.
            if (block_open == 1) {
                EXPECT_EQ(calls, std::string("eob n M21 eob n eob n ") + (m23 ? "M23 eob n " : ""));
            } else {
                EXPECT_EQ(calls, std::string("n eob n M21 eob n eob ") + (m23 ? "n M23 eob " : ""));
            }
            EXPECT_EQ(c_nc_block - block_before, (m23 ? 4 : 3) * c_line_number_inc);
            EXPECT_EQ(c_nc_laser_off_comp, 0);
            // Released: a second laser off writes the stop block alone.
            pp_laser_off(block_open, 1);
            EXPECT_EQ(take_output(), crlf("LED/DX0DY0\n"));
        }
    }
}

TEST_F(LaserHeldBlockTest, NothingHeldAndM21InForce) {
    hold_a_line();
    pp_laser_off(0, 1);
    take_output();
    pp_laser_off(0, 2);
    EXPECT_EQ(take_output(), crlf("LED/DX0DY0\nM23\n"));
}

TEST_F(LaserHeldBlockTest, HoldingTakesTheBlockNumberBack) {
    c_line_number_inc = 10;
    c_nc_block = 100;
    c_nc_x = 10;
    c_nc_laser_on = 1;  // continuing: no start sequence
    ASSERT_EQ(pp_laser_line(10, 0, 50, 0, ContourRecord(0).co()), 0);
    // The hook's block-number step was for the held block: taken back.
    EXPECT_EQ(c_nc_block, 100);
}

TEST_F(LaserHeldBlockTest, HeldTextKeepsInnerBlockEnds) {
    hold_a_line();
    // Text left in the buffer by someone else goes with the next block.
    std::snprintf(c_nc_buff, 64, "(NOTE)\r\n");
    ASSERT_EQ(pp_laser_line(50, 0, 90, 0, ContourRecord(1).co()), 0);
    EXPECT_EQ(take_output(), crlf("M21\nX50F250\n(NOTE)\nX90F250\nLED/DX0DY0\n"));
}

TEST_F(LaserHeldBlockTest, LongestTextThatFitsIsHeldWhole) {
    hold_a_line();
    // With the cutting block "X90F250" this is 4999 characters, the room of
    // the held text without its terminating zero.
    const std::string filler(4999 - 7, 'a');
    std::snprintf(c_nc_buff, PELK_NC_BUFF_MIN_SIZE, "%s", filler.c_str());
    ASSERT_EQ(pp_laser_line(50, 0, 90, 0, ContourRecord(1).co()), 0);
    EXPECT_EQ(take_output(), crlf("M21\nX50F250\n" + filler + "X90F250\nLED/DX0DY0\n"));
}

TEST_F(LaserHeldBlockTest, TooLongTextIsRefusedAndNothingOfItWritten) {
    hold_a_line();
    const int flushes = writer.flushes();
    const std::string filler(4999 - 6, 'a');  // one character too many with "X90F250"
    std::snprintf(c_nc_buff, PELK_NC_BUFF_MIN_SIZE, "%s", filler.c_str());
    EXPECT_EQ(pp_laser_line(50, 0, 90, 0, ContourRecord(1).co()), 1);
    // The element is dropped: no flush, its words gone from the buffer, the
    // position where it was, and the user told.
    EXPECT_EQ(writer.flushes(), flushes);
    EXPECT_EQ(std::string(c_nc_buff), filler);
    EXPECT_DOUBLE_EQ(c_nc_x, 50);
    EXPECT_DOUBLE_EQ(c_nc_y, 0);
    ASSERT_FALSE(host::messages().empty());
    EXPECT_NE(host::messages().back().find("laser cutting block too long"), std::string::npos);

    // The block held before is untouched and still released whole.
    c_nc_buff[0] = '\0';
    take_output();
    pp_laser_off(0, 1);
    EXPECT_EQ(take_output(), crlf("X50F250\nM21\nLED/DX0DY0\n"));
}

TEST_F(LaserHeldBlockTest, TooLongArcIsRefusedToo) {
    hold_a_line();
    const std::string filler(6000, 'a');
    std::snprintf(c_nc_buff, PELK_NC_BUFF_MIN_SIZE, "%s", filler.c_str());
    EXPECT_EQ(pp_laser_arc(50, 0, 60, 10, 50, 10, 1, ContourRecord(1).co()), 1);
    EXPECT_EQ(std::string(c_nc_buff), filler);
    EXPECT_DOUBLE_EQ(c_nc_x, 50);
    EXPECT_DOUBLE_EQ(c_nc_y, 0);
}

}  // namespace
