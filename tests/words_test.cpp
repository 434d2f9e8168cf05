// Block words: number text, M/G/letter words, coordinates, index and feed.
#include <cstring>
#include <string>

#include "tests/support/host_fixture.h"

namespace {

class WordsTest : public HostTest {
protected:
    std::string distance(double value) {
        char text[256];
        return pp_d_o_u(value, text);
    }
    std::string let(int plain, const char *letter, double value) {
        c_nc_buff[0] = '\0';
        pp_let(plain, const_cast<char *>(letter), value);
        return c_nc_buff;
    }
    std::string x_y(int force, double x, double y) {
        c_nc_buff[0] = '\0';
        pp_x_y(force, x, y);
        return c_nc_buff;
    }
    std::string index(int force, int indexable, double angle) {
        c_nc_buff[0] = '\0';
        pp_index(force, 0, indexable, angle);
        return c_nc_buff;
    }
    std::string feed(double value) {
        c_nc_buff[0] = '\0';
        pp_feedrate(value);
        return c_nc_buff;
    }
};

TEST_F(WordsTest, DistanceTextInMillimetres) {
    c_mch_units = 0;
    EXPECT_EQ(distance(100), "100");
    EXPECT_EQ(distance(12.5), "12.5");
    EXPECT_EQ(distance(0.004), "0");
    EXPECT_EQ(distance(-0.004), "0");
    EXPECT_EQ(distance(-3.25), "-3.25");
    EXPECT_EQ(distance(10.004), "10");
    c_mch_units = 2;  // only exactly 1 means inches
    EXPECT_EQ(distance(10), "10");
}

TEST_F(WordsTest, DistanceTextInInches) {
    c_mch_units = 1;
    EXPECT_EQ(distance(25.4), "1");
    EXPECT_EQ(distance(10), "0.394");
    EXPECT_EQ(distance(100), "3.937");
    EXPECT_EQ(distance(254), "10");
}

TEST_F(WordsTest, BlockEndMAndGWords) {
    pp_eob();
    EXPECT_EQ(std::string(c_nc_buff), "\r\n");

    c_nc_buff[0] = '\0';
    pp_m(3);
    EXPECT_EQ(c_nc_m, 3);
    pp_m(121);
    pp_m(610);
    pp_m(0);
    EXPECT_EQ(std::string(c_nc_buff), "M03M121M610M00");
    EXPECT_EQ(c_nc_m, 0);

    c_nc_buff[0] = '\0';
    c_nc_g = 7;
    pp_g(1);
    EXPECT_EQ(c_nc_g, 7);
    pp_g(0);
    EXPECT_EQ(c_nc_g, 0);
    EXPECT_EQ(std::string(c_nc_buff), "");
}

TEST_F(WordsTest, LetterWords) {
    c_mch_units = 0;
    EXPECT_EQ(let(1, "C", 90), "C90");
    EXPECT_EQ(let(1, "C", 45.5), "C45.5");
    EXPECT_EQ(let(1, " ", -360), " -360");
    EXPECT_EQ(let(1, "C", -0.001), "C0");
    EXPECT_EQ(let(0, " ", 10), " 10");
    EXPECT_EQ(let(0, "", 5), "5");
    c_mch_units = 1;
    EXPECT_EQ(let(0, " ", 10), " 0.394");
    EXPECT_EQ(let(1, "C", 45), "C45");  // angles are never converted
}

TEST_F(WordsTest, ParameterWordKeepsBits11And31) {
    uint32_t all_ones = 0xFFFFFFFFu;
    uint32_t zeros = 0;
    aaa_ps1[2] = 0;
    pp_la_parms(&all_ones);
    pp_la_parms(&zeros);
    EXPECT_EQ(all_ones, 0x80000B12u);
    EXPECT_EQ(zeros, 0x00000312u);
    EXPECT_EQ(aaa_ps1[2], 2);
    EXPECT_EQ(std::string(c_nc_buff), "");
}

TEST_F(WordsTest, CoordinatesLeaveOutUnmovedAxes) {
    c_nc_absolute = 1;
    c_nc_x = 100;
    c_nc_y = 50;
    EXPECT_EQ(x_y(0, 100, 50), "X100Y50");             // nothing moved: both words
    EXPECT_EQ(x_y(0, 100, 60), "Y60");                 // only Y moved
    EXPECT_EQ(c_nc_x, 100);
    EXPECT_EQ(x_y(1, 100, 60), "X100Y60");             // forced
    EXPECT_EQ(x_y(0, 100.0000009, 70), "Y70");         // below the tolerance
    EXPECT_EQ(c_nc_x, 100);
    c_nc_x = 0;
    EXPECT_EQ(x_y(0, 0.000001, 70), "X0");             // a difference of exactly 1e-6 is a move
    EXPECT_EQ(c_nc_x, 0.000001);
}

TEST_F(WordsTest, IncrementalAndPatternRelativeCoordinates) {
    c_nc_absolute = 0;
    c_nc_sub_type = 0;
    c_nc_x = 100;
    c_nc_y = 50;
    EXPECT_EQ(x_y(0, 100, 50), "DX0DY0");
    EXPECT_EQ(x_y(0, 112.5, 47), "DX12.5DY-3");
    EXPECT_EQ(c_nc_x, 112.5);
    EXPECT_EQ(c_nc_y, 47);

    c_nc_sub_type = 7;
    c_nc_abs_sub_x = 200;
    c_nc_abs_sub_y = 10;
    c_nc_x = 200;
    EXPECT_EQ(x_y(0, 250, 47), "X50");                 // relative to the pattern origin
    EXPECT_EQ(x_y(1, 250, 47), "X50Y37");
    c_nc_absolute = 1;
    EXPECT_EQ(x_y(0, 260, 47), "X260");
}

TEST_F(WordsTest, CoordinatesInInches) {
    c_mch_units = 1;
    c_nc_absolute = 1;
    c_nc_x = 0;
    c_nc_y = 0;
    EXPECT_EQ(x_y(0, 254, 0), "X10");
}

TEST_F(WordsTest, IndexWordTolerance) {
    c_nc_tool_a = 90;
    EXPECT_EQ(index(0, 1, 90.001), "");
    EXPECT_EQ(index(0, 1, 90.002), "");  // the computed difference falls just below 0.002
    EXPECT_EQ(index(0, 1, 90.01), "C90.01");
    EXPECT_EQ(index(0, 1, 89.99), "C89.99");
    EXPECT_EQ(index(1, 1, 90), "C90");   // forced
    EXPECT_EQ(index(1, 0, 45), "");      // not indexable
    EXPECT_EQ(index(1, 2, 45), "");
    EXPECT_EQ(c_nc_tool_a, 90);          // the hook never moves the host's angle
}

TEST_F(WordsTest, FeedWordWhileTheLaserCuts) {
    c_nc_laser_on = 1;
    c_mch_units = 0;
    EXPECT_EQ(feed(2.5), "F250");
    EXPECT_EQ(feed(0.123), "F12.3");
    c_mch_units = 1;
    EXPECT_EQ(feed(2.5), "F98.425");
}

TEST_F(WordsTest, FeedRangesAtTheirBorders) {
    c_nc_laser_on = 0;
    c_max_feedrate = 10;
    c_nc_m = 42;
    c_post_processor = 7001;
    EXPECT_EQ(feed(0), "M83");
    EXPECT_EQ(feed(2.5), "M83");
    EXPECT_EQ(feed(2.50001), "M82");
    EXPECT_EQ(feed(2.6), "M82");
    EXPECT_EQ(feed(5), "M82");
    EXPECT_EQ(feed(5.1), "M81");
    EXPECT_EQ(feed(7.5), "M81");
    EXPECT_EQ(feed(7.6), "M80");
    EXPECT_EQ(feed(-1), "M80");
    c_post_processor = 7002;
    EXPECT_EQ(feed(7.6), "M80");
    EXPECT_EQ(c_nc_m, 42);  // range words are text, not M words of the host
    c_post_processor = 7000;
    EXPECT_EQ(feed(2.5), "");
}

TEST_F(WordsTest, HooksThatWriteNothingOrAnswerAConstant) {
    strcpy(c_nc_buff, "X1Y2");
    pp_n();
    pp_i_j();
    pp_hit_on();
    pp_hit_off();
    pp_ni_off();
    EXPECT_EQ(pp_grid(), -1);
    EXPECT_EQ(pp_laser_tech_table(), 0);
    EXPECT_EQ(pp_sheet_tab_break(), 0);
    EXPECT_EQ(pp_main_questions(), 0);
    EXPECT_EQ(std::string(c_nc_buff), "X1Y2");
    EXPECT_TRUE(writer.pieces().empty());
}

TEST_F(WordsTest, InstallingTwiceLeavesTheSameHandlers) {
    auto *hit = pp_hit;
    auto *main = pp_main;
    auto *d_o_u = pp_d_o_u;
    std::string error;
    ASSERT_TRUE(host::load_module(PELK_MODULE_PATH, error)) << error;
    EXPECT_EQ(pp_hit, hit);
    EXPECT_EQ(pp_main, main);
    EXPECT_EQ(pp_d_o_u, d_o_u);
}

}  // namespace
