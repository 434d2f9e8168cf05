// Laser contour start: the laser-head mode words, the technology words and
// the compensation command.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/laser_fixture.h"

namespace {

class LaserStartTest : public LaserTest {
protected:
    void SetUp() override {
        LaserTest::SetUp();
        start_program();
    }

    // Brings the head into a mode (-1 stays as the program start left it).
    void head_in_mode(int mode) {
        if (mode == 0) pp_laser_on(0);
        if (mode == 1) pp_laser_on(1);
        if (mode == 2) pp_laser_on(3);
        take_output();
    }

    // One line element from (0, 0) that ends its contour (type 1).
    std::string cut_one(ContourRecord co) {
        c_nc_x = 0;
        c_nc_y = 0;
        c_nc_laser_on = 0;
        EXPECT_EQ(pp_laser_line(10, 0, 20, 0, co.co()), 0);
        return take_output();
    }
};

struct ModeCase {
    int mode_before;
    int on_type;
    const char *words;
};

TEST_F(LaserStartTest, ModeWordsFromEveryStartingMode) {
    const std::vector<ModeCase> cases = {
        {-1, 0, "M122\n"},       {-1, 3, "M123\n"}, {-1, 1, "M121\n"},
        {0, 0, ""},              {0, 3, "M123\n"},  {0, 1, "M121\n"},
        {1, 0, "M122\n"},        {1, 3, "M122\nM123\n"}, {1, 1, ""},
        {2, 0, "M124\nM122\n"},  {2, 3, ""},        {2, 1, "M124\nM121\n"},
    };
    for (const ModeCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode_before << ", on_type " << c.on_type);
        start_program();
        head_in_mode(c.mode_before);
        const int flushes_before = writer.flushes();
        pp_laser_on(c.on_type);
        const std::string words = crlf(c.words);
        EXPECT_EQ(take_output(), words);
        // Each word is a block of its own, handed to the writer at once.
        EXPECT_EQ(writer.flushes() - flushes_before,
                  static_cast<int>(std::count(words.begin(), words.end(), '\n')));
        // The mode reached is remembered: asking again writes nothing.
        pp_laser_on(c.on_type);
        EXPECT_EQ(take_output(), "");
    }
}

TEST_F(LaserStartTest, EveryOtherOnTypeMeansMode1) {
    for (int on_type : {1, 2, 4, 5, 6, 7}) {
        start_program();
        head_in_mode(0);
        pp_laser_on(on_type);
        EXPECT_EQ(take_output(), crlf("M121\n")) << "on_type " << on_type;
    }
}

TEST_F(LaserStartTest, RefusedModeWordKeepsTheModeBeforeIt) {
    // M124 refused: the head counts as still in mode 2.
    head_in_mode(2);
    writer.refuse_from(writer.flushes() + 1);
    pp_laser_on(1);
    host::MemoryWriter second;
    host::set_writer(&second);
    pp_laser_on(1);
    EXPECT_EQ(second.text(), crlf("M124\nM121\n"));

    // M124 taken, M121 refused: the mode is unknown, so M121 comes alone.
    start_program();
    head_in_mode(2);
    writer.refuse_from(writer.flushes() + 2);
    pp_laser_on(1);
    host::MemoryWriter third;
    host::set_writer(&third);
    pp_laser_on(1);
    EXPECT_EQ(third.text(), crlf("M121\n"));
}

TEST_F(LaserStartTest, FirstContourWritesModeAndTechnologyWords) {
    EXPECT_EQ(cut_one(ContourRecord(1)), crlf("M121\nM72\nM27S450\nX10Y0F250\nX20F250\nM21\nLED/DX0DY0\n"));
    // Same technology again: no mode or technology words.
    EXPECT_EQ(cut_one(ContourRecord(1)), crlf("X10Y0F250\nX20F250\nM21\nLED/DX0DY0\n"));
}

TEST_F(LaserStartTest, TechnologyWordsOnlyOnAChange) {
    add_technology(2, 2.5, "1", "2", "900");   // only S differs from 1
    add_technology(3, 2.5, "1", "1", "450");   // M71
    add_technology(4, 2.5, "1", "5", "450");   // M71 again, from another selector
    add_technology(5, 2.5, "", "5", "300");    // no mode text: M28
    add_technology(6, 2.5, "3", "3", "7");
    add_technology(7, 2.5, "2", "4", "8");
    start_program();
    const std::string lines = "X10Y0F250\nX20F250\nM21\nLED/DX0DY0\n";
    cut_one(ContourRecord(1, 1, 1));
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 1)), crlf(lines));
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 2)), crlf("M27S900\n" + lines));
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 3)), crlf("M71\nM27S450\n" + lines));
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 4)), crlf("M71\n" + lines));
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 5)), crlf("M28S300\n" + lines));
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 6)), crlf("M73\nM35S7\n" + lines));
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 7)), crlf("M74\nM34S8\n" + lines));
}

TEST_F(LaserStartTest, TechnologyValuesOfMinusOneAreWordsLikeAnyOther) {
    // -1 is a selector (M71) and a mode (M28) a technology may hold: the
    // first contour writes them, however the module keeps unknown words.
    add_technology(2, 2.5, "-1", "-1", "-1");
    start_program();
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 2)), crlf("M121\nM71\nM28S-1\nX10Y0F250\nX20F250\nM21\nLED/DX0DY0\n"));
    EXPECT_EQ(cut_one(ContourRecord(1, 1, 2)), crlf("X10Y0F250\nX20F250\nM21\nLED/DX0DY0\n"));
}

TEST_F(LaserStartTest, RefusedTechnologyWordIsWrittenAgainNextTime) {
    writer.refuse_from(writer.flushes() + 3);  // M121, M72 taken; M27S450 refused
    c_nc_laser_on = 0;
    EXPECT_EQ(pp_laser_line(10, 0, 20, 0, ContourRecord(1).co()), 1);
    EXPECT_EQ(writer.text(), crlf("M121\nM72\n"));
    host::MemoryWriter second;
    host::set_writer(&second);
    c_nc_x = 0;
    c_nc_laser_on = 0;
    EXPECT_EQ(pp_laser_line(10, 0, 20, 0, ContourRecord(1).co()), 0);
    EXPECT_EQ(second.text(), crlf("M27S450\nX10Y0F250\nX20F250\nM21\nLED/DX0DY0\n"));
}

TEST_F(LaserStartTest, CompensationCommandForEveryCodePair) {
    const char *table[4][4] = {
        {"LAL/", "LAR/", "LAL/", "LAR/"},
        {"LAR/", "LAL/", "LAL/", "LAR/"},
        {"LAL/", "LAL/", "LAL/", "LAL/"},
        {"LAR/", "LAR/", "LAL/", "LAR/"},
    };
    cut_one(ContourRecord(1));
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b < 4; ++b) {
            SCOPED_TRACE(testing::Message() << "codes " << a << ", " << b);
            ContourRecord co(1);
            co.set_comp(1, a, b);
            EXPECT_EQ(cut_one(co), crlf(std::string(table[a][b]) + "X10Y0F250\nX20F250\nM21\nLED/DX0DY0\n"));
            // The laser off put the compensation state back to none.
            EXPECT_EQ(c_nc_laser_off_comp, 0);
            // Without comp_on the codes mean nothing.
            co.set_comp(0, a, b);
            EXPECT_EQ(cut_one(co), crlf("X10Y0F250\nX20F250\nM21\nLED/DX0DY0\n"));
        }
    }
}

TEST_F(LaserStartTest, CompensationInForceIsNotCommandedAgain) {
    ContourRecord left(0);
    left.set_comp(1, 0, 0);
    c_nc_laser_on = 0;
    ASSERT_EQ(pp_laser_line(10, 0, 20, 0, left.co()), 0);
    EXPECT_EQ(c_nc_laser_off_comp, 1);
    // The contour went on (type 0); a new start elsewhere keeps LAL/ in force.
    ContourRecord right(1);
    right.set_comp(1, 0, 1);
    c_nc_laser_on = 0;
    ASSERT_EQ(pp_laser_line(50, 0, 60, 0, right.co()), 0);
    EXPECT_EQ(c_nc_laser_off_comp, 0);
    EXPECT_EQ(take_output(), crlf("M121\nM72\nM27S450\nLAL/X10Y0F250\nX50Y0F250\n"
                                  "M21\nX20F250\nX60F250\nLED/DX0DY0\n"));
}

}  // namespace
