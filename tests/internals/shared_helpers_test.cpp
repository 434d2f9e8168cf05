// The helpers that the hooks share: reading a number in a text, number words,
// appending without loss, an M word flushed as a block of its own, and the
// opening of a punching block.
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/blocks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "tests/internals/internals_fixture.h"

namespace {

class SharedHelpersTest : public InternalsTest {
protected:
    // The hook calls of action, one per line of the host's trace, joined by
    // spaces: "pp_laser_disable() pp_ni_off() ...".
    template <typename Action>
    std::string hook_calls(Action action) {
        std::ostringstream trace;
        host::set_trace(&trace);
        action();
        host::set_trace(nullptr);
        std::string calls;
        std::istringstream lines(trace.str());
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("pp_", 0) == 0) calls += (calls.empty() ? "" : " ") + line;
        }
        return calls;
    }
};

TEST(ReadInt, ReadsLikeAtoiAndHoldsTheBounds) {
    struct Case {
        const char *text;
        int low, high, expected;
    } cases[] = {
        {"12", INT_MIN, INT_MAX, 12},
        {"  -7 mm", INT_MIN, INT_MAX, -7},
        {"+3)", INT_MIN, INT_MAX, 3},
        {"", INT_MIN, INT_MAX, 0},
        {"steel", INT_MIN, INT_MAX, 0},
        {"2147483647", INT_MIN, INT_MAX, INT_MAX},
        {"99999999999999999999999", INT_MIN, INT_MAX, INT_MAX},
        {"-99999999999999999999999", INT_MIN, INT_MAX, INT_MIN},
        {"2", 0, 3, 2},
        {"7", 0, 3, 3},
        {"-1", 0, 3, 0},
        {"x", 0, 3, 0},
        {"-2147483648", INT_MIN, INT_MAX, INT_MIN},
        {"\t\n\v\f\r 5", INT_MIN, INT_MAX, 5},
        {"+-3", INT_MIN, INT_MAX, 0},
        {"- 3", INT_MIN, INT_MAX, 0},
        {"\xa0" "5", INT_MIN, INT_MAX, 0},  // a no-break space is no blank of the "C" locale
        {"0x1F", INT_MIN, INT_MAX, 0},
        {"007", INT_MIN, INT_MAX, 7},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(pelk::read_int(c.text, c.low, c.high), c.expected) << '"' << c.text << '"';
    }
}

// read_double gives what strtod gives in the "C" locale (the locale of this
// test), bit for bit: the sign of a zero, infinities, and the rounding of
// the last bit included.
TEST(ReadDouble, ReadsLikeAtofInTheCLocale) {
    const char *const texts[] = {
        "2.5", "2", " 2.5", "\t\n\v\f\r2.5", "+2.5", "-2.5", "2,5", "2.5mm", "  -0", "-0.0", "0", "",
        "abc", ".", "-", "+", "+-2", "-+2", "- 2", ".5", "5.", "-.5e1", "1e", "1e+", "1e-", "1e5", "1E5",
        "1.5e-3x", "1.e2", "e5", "00002.50000", "0.1", "0.30000000000000004", "2.0000011", "1.9999995",
        "123456789012345678901234567890", "1.7976931348623157e308", "1.7976931348623159e308", "1e309",
        "-1e309", "1e999999999999", "4.9e-324", "2.4703282292062328e-324", "2.4703282292062327e-324",
        "2e-324", "1e-400", "-1e-400", "1e-99999999999",
        "0.000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000001",
        "1000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000.5",
        "inf", "INF", "-Infinity", "infinit", "infx", "nan", "-nan", "NaN(123)", "nan(", "nanx",
        "0x1.8p1", "0X1P-2", "-0x10", "0x.8", "0x", "0xg", "0x.", "0x1p", "0x1p+", "0x1.fffffffffffffp1023",
        "0x1p1024", "0x1p-1075", "0x1p-1074", "0x0.0000001p-1000", "\xa0" "2.5",
    };
    for (const char *text : texts) {
        const double expected = std::strtod(text, nullptr);
        const double got = pelk::read_double(text);
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(got)) << '"' << text << '"';
            EXPECT_EQ(std::signbit(got), std::signbit(expected)) << '"' << text << '"';
        } else {
            EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
                << '"' << text << "\": " << got << " against strtod's " << expected;
        }
    }
}

TEST_F(SharedHelpersTest, NumberWordsAreAppendedAsPrintfWritesThem) {
    const std::string long_prefix(70, 'A');
    struct Case {
        std::string prefix;
        double value;
        int decimals;
        const char *expected;  // behind the prefix
    } trimmed[] = {
        {"C", 90.0, 2, "90"},   {"C", 45.5, 2, "45.5"},    {" ", -360.0, 2, "-360"}, {"F", 1250.0, 2, "1250"},
        {"F", 98.425, 3, "98.425"}, {"C", -0.001, 2, "0"}, {"", 12.0, 2, "12"},      {long_prefix, 12.5, 2, "12.5"},
    };
    for (const Case &c : trimmed) {
        c_nc_buff[0] = '\0';
        pelk::nc_append_trimmed(c.prefix.c_str(), c.value, c.decimals);
        EXPECT_EQ(std::string(c_nc_buff), c.prefix + c.expected) << c.value;
    }
    c_nc_buff[0] = '\0';
    pelk::nc_append_int("PAT", 7, 2);
    pelk::nc_append_int("T", -5);
    EXPECT_EQ(std::string(c_nc_buff), "PAT07T-5");
}

// A text that would not fit behind the pending text sends that text to the
// writer first; one longer than the whole buffer goes out in pieces.
TEST_F(SharedHelpersTest, AppendFlushesInsteadOfDropping) {
    const std::string pending(pelk::NC_TEXT_MAX - 2, 'p');
    pelk::nc_append(pending.c_str());
    pelk::nc_append("AB");
    EXPECT_EQ(writer.flushes(), 0);  // exactly full
    pelk::nc_append("C");
    EXPECT_EQ(writer.pieces(), std::vector<std::string>{pending + "AB"});
    EXPECT_EQ(std::string(c_nc_buff), "C");

    const std::string huge(2 * pelk::NC_TEXT_MAX + 10, 'h');
    pelk::nc_append(huge.c_str());
    EXPECT_EQ(writer.text() + c_nc_buff, pending + "ABC" + huge);
    EXPECT_EQ(writer.flushes(), 4);  // "C" first, then two whole buffers; the rest waits

    // Formatted text longer than a block work buffer is not cut either.
    c_nc_buff[0] = '\0';
    const std::string long_comment(3 * pelk::BLOCK_TEXT_SIZE, 'c');
    pelk::nc_appendf("(%s)", long_comment.c_str());
    EXPECT_EQ(std::string(c_nc_buff), "(" + long_comment + ")");
}

// The module remembers where the buffer's text ends; whatever happened to
// the buffer in between, the next word lands right behind its text.
TEST_F(SharedHelpersTest, AppendFindsTheEndOfTextChangedBehindItsBack) {
    struct Case {
        const char *what;
        void (*change)();
        const char *expected;
    } cases[] = {
        {"nothing", [] {}, "X10Y20M03"},
        {"emptied by a flush", [] { (void)flush_nc_buffer(); }, "M03"},
        {"emptied by hand", [] { c_nc_buff[0] = '\0'; }, "M03"},
        {"its last character cut", [] { c_nc_buff[5] = '\0'; }, "X10Y2M03"},
        {"grown", [] { strcat(c_nc_buff, "T3"); }, "X10Y20T3M03"},
        {"replaced by a longer text", [] { strcpy(c_nc_buff, "ABCDEFGH"); }, "ABCDEFGHM03"},
    };
    for (const Case &c : cases) {
        c_nc_buff[0] = '\0';
        pelk::nc_append("X10Y20");
        c.change();
        pelk::nc_append("M03");
        EXPECT_EQ(std::string(c_nc_buff), c.expected) << c.what;
    }
}

TEST_F(SharedHelpersTest, FlushedMBlockBeginsTheNextBlockOnlyWhenWritten) {
    c_line_number_inc = 10;
    c_nc_block = 0;
    EXPECT_EQ(pelk::flush_m_block(pelk::M_HEAD_MODE_1), pelk::Flow::go_on);
    EXPECT_EQ(writer.text(), crlf("M121\n"));
    EXPECT_EQ(c_nc_block, 10);

    writer.refuse_from(2);
    EXPECT_EQ(pelk::flush_m_block(pelk::M_HEAD_MODE_0), pelk::Flow::stop);
    EXPECT_EQ(writer.text(), crlf("M121\n"));
    EXPECT_EQ(c_nc_block, 10);  // nothing begun after a refused block
}

TEST_F(SharedHelpersTest, PunchingBlockOpeningLiftsTheHeadEndsNibblingAndCancelsTheOffset) {
    c_nc_laser_head_down = 1;
    pelk::offset_active = 1;
    EXPECT_EQ(hook_calls([] { pelk::open_punching_block(); }),
              "pp_laser_disable() pp_ni_off() pp_m(23) pp_eob() pp_n() pp_ni_off() pp_eob() pp_n()");
    EXPECT_EQ(output(), crlf("M23\nOFS/X0Y0\n"));
    EXPECT_EQ(writer.flushes(), 0);  // the blocks wait for the caller's flush

    EXPECT_EQ(hook_calls([] { pelk::open_punching_block(pelk::HitMode::end); }),
              "pp_laser_disable() pp_ni_off() pp_ni_off() pp_hit_off()");
}

}  // namespace
