// The helpers that the hooks share: reading a number in a text, trimmed
// number text, an M word flushed as a block of its own, and the opening of
// a punching block.
#include <climits>
#include <sstream>
#include <string>

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
    };
    for (const Case &c : cases) {
        EXPECT_EQ(pelk::read_int(c.text, c.low, c.high), c.expected) << '"' << c.text << '"';
    }
}

TEST_F(SharedHelpersTest, TrimmedNumberTextDropsTrailingZerosAndPoint) {
    struct Case {
        const char *format;
        double value;
        const char *expected;
    } cases[] = {
        {"%1.2lf", 12.5, "12.5"},
        {"%1.2lf", 12.0, "12"},
        {"%1.2lf", 100.0, "100"},
        {"%1.3lf", 0.3937, "0.394"},
        {"X%1.2lf", 10.0, "X10"},
        {"F%1.2lf", 1250.0, "F1250"},
    };
    for (const Case &c : cases) {
        char out[64];
        EXPECT_TRUE(pelk::format_trimmed(out, sizeof out, c.format, c.value));
        EXPECT_EQ(std::string(out), c.expected) << c.format << ' ' << c.value;
    }
}

TEST_F(SharedHelpersTest, TrimmedNumberTextThatDoesNotFitIsReported) {
    char out[5];
    EXPECT_FALSE(pelk::format_trimmed(out, sizeof out, "%1.2lf", 12345.0));
    EXPECT_EQ(std::string(out), "1234");
    EXPECT_FALSE(pelk::format_trimmed(out, 0, "%1.2lf", 1.0));
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
