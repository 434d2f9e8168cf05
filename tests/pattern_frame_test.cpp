// Pattern definitions: the header and end lines, the pattern number the
// control shows, the limit warning, and what the header and end reset.
#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "tests/pattern_fixture.h"

namespace {

using PatternFrameTest = PatternTest;

TEST_F(PatternFrameTest, HeaderWritesWhatIsPendingFirstAndSwitchesToRelativeWords) {
    std::snprintf(c_nc_buff, PELK_NC_BUFF_MIN_SIZE, "X1\r\n");
    EXPECT_EQ(pp_sub_begin(PATTERN_03), 0);
    EXPECT_EQ(writer.pieces(), (std::vector<std::string>{crlf("X1\n"), crlf("PAT03/\n")}));
    EXPECT_EQ(c_nc_absolute, 0);
    EXPECT_TRUE(host::messages().empty());
}

TEST_F(PatternFrameTest, EndLineSwitchesBackToAbsoluteWordsAndLeavesTheBody) {
    c_nc_absolute = 0;
    c_nc_in_sub = 1;
    EXPECT_EQ(written_by([] { return pp_sub_end(PATTERN_03); }), crlf("END03\n"));
    EXPECT_EQ(c_nc_absolute, 1);
    EXPECT_EQ(c_nc_in_sub, 0);
}

struct NumberCase {
    int program;
    int pattern;
    const char *shown;
};

TEST_F(PatternFrameTest, EveryLineShowsThePatternNumberAfterTheProgramNumber) {
    const NumberCase cases[] = {
        {10, 11, "00"}, {10, 14, "03"}, {0, 6, "05"}, {0, 124, "123"}, {10, 5, "-6"},
        // Host numbers at the ends of their range do not overflow.
        {INT_MAX, INT_MIN, "-4294967296"}, {INT_MIN, INT_MAX, "4294967294"},
    };
    for (const NumberCase &c : cases) {
        SCOPED_TRACE(c.shown);
        use_style(0);
        c_program_number = c.program;
        c_nc_max_subs = INT_MAX;
        c_nc_tool = 1;
        const std::string n = c.shown;
        EXPECT_EQ(written_by([&] { return pp_sub_begin(c.pattern); }), crlf("PAT" + n + "/\n"));
        EXPECT_EQ(written_by([&] { return pp_sub_end(c.pattern); }), crlf("END" + n + "\n"));
        EXPECT_EQ(written_by([&] { return pp_sub_call(1, 0, 0, 0, 0, c.pattern); }), crlf("X0Y0M03\nPAT" + n + "\n"));
        const std::string repeated = written_by([&] { return pp_sub_rep_call(1, 0, 0, 0, 0, c.pattern, 1, 0, 2); });
        EXPECT_NE(repeated.find(crlf("MGR/" + n + " R 1 2\n")), std::string::npos) << repeated;
    }
}

struct LimitCase {
    int max_subs;
    int shown;
    bool warned;
};

TEST_F(PatternFrameTest, NumberAboveTheLimitIsWarnedAfterItsHeaderLine) {
    const LimitCase cases[] = {{3, 3, false}, {3, 4, true}, {0, 0, false}, {99, 100, true}, {0, -1, false}};
    for (const LimitCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.max_subs << ", pattern " << c.shown);
        use_style(0);
        c_nc_max_subs = c.max_subs;
        std::ostringstream trace;
        host::set_trace(&trace);
        EXPECT_EQ(pp_sub_begin(PROGRAM + 1 + c.shown), 0);
        host::set_trace(nullptr);
        const std::string calls = trace.str();
        if (!c.warned) {
            EXPECT_TRUE(host::messages().empty());
            continue;
        }
        ASSERT_EQ(host::messages().size(), 1u);
        EXPECT_EQ(host::messages()[0], "warning: pattern number above the limit of " + std::to_string(c.max_subs) +
                                           " ^ the control may not accept this pattern");
        // The header line was handed to the writer before the question.
        EXPECT_LT(calls.rfind("flush_nc_buffer() -> 0"), calls.find("pp_wait_for_key(2"));
    }
}

TEST_F(PatternFrameTest, StopAnswerToTheWarningEndsTheHookAfterTheHeaderLine) {
    c_nc_max_subs = 2;
    c_nc_tool_a = 30;
    host::set_stop_on_warnings(true);
    EXPECT_EQ(written_by([] { return pp_sub_begin(PATTERN_03); }, 1), crlf("PAT03/\n"));
    // The rest of the header is skipped: the index is not forced.
    gen_nc_index(0, 0, 1, 30);
    EXPECT_STREQ(c_nc_buff, "");

    host::set_stop_on_warnings(false);
    EXPECT_EQ(written_by([] { return pp_sub_begin(PATTERN_03); }), crlf("PAT03/\n"));
    gen_nc_index(0, 0, 1, 30);
    EXPECT_STREQ(c_nc_buff, "C30");
}

struct WarningTextCase {
    std::string limit_text;   // message 851
    std::string advice_text;  // message 852
    std::string warning;
};

TEST_F(PatternFrameTest, WarningIsComposedWithinItsBufferWhateverTheMessagesHold) {
    const std::string long_a(5000, 'a');
    const std::string long_b(5000, 'b');
    const WarningTextCase cases[] = {
        {"limit %d", "advice", "limit 7^advice"},
        {long_a + "%d", long_b, std::string(255, 'a') + "^" + std::string(254, 'b')},
        {"%d" + long_a, "", "7" + std::string(254, 'a') + "^"},
        // Not one integer conversion: the text is taken as it stands.
        {"%s%s%n", "%s", "%s%s%n^%s"},
        {"%d %d", "x", "%d %d^x"},
        {"", "", "^"},
    };
    for (const WarningTextCase &c : cases) {
        SCOPED_TRACE(c.warning.substr(0, 20));
        use_style(0);
        host::set_message_text(851, c.limit_text);
        host::set_message_text(852, c.advice_text);
        c_nc_max_subs = 7;
        EXPECT_EQ(pp_sub_begin(PROGRAM + 1 + 8), 0);
        ASSERT_EQ(host::messages().size(), 1u);
        EXPECT_EQ(host::messages()[0], "warning: " + c.warning);
    }
}

TEST_F(PatternFrameTest, HeaderForcesTheFirstIndexWordOfTheBody) {
    c_nc_tool_a = 30;
    gen_nc_index(0, 0, 1, 30);
    EXPECT_STREQ(c_nc_buff, "");
    ASSERT_EQ(pp_sub_begin(PATTERN_03), 0);
    gen_nc_index(0, 0, 0, 30);  // not indexable: the forced word waits
    EXPECT_STREQ(c_nc_buff, "");
    gen_nc_index(0, 0, 1, 30);
    EXPECT_STREQ(c_nc_buff, "C30");
    gen_nc_index(0, 0, 1, 30);
    EXPECT_STREQ(c_nc_buff, "C30");
}

TEST_F(PatternFrameTest, HeaderAndEndForgetTheLaserHeadMode) {
    auto head_words = [this] { return written_by([] { gen_nc_laser_on(1); return 0; }); };
    EXPECT_EQ(head_words(), crlf("M121\n"));
    EXPECT_EQ(head_words(), "");
    ASSERT_EQ(pp_sub_begin(PATTERN_03), 0);
    EXPECT_EQ(head_words(), crlf("M121\n"));
    EXPECT_EQ(head_words(), "");
    ASSERT_EQ(pp_sub_end(PATTERN_03), 0);
    EXPECT_EQ(head_words(), crlf("M121\n"));
}

// Inside a body the offset stays; the first main-body operation after the
// end line cancels it, once.
TEST_F(PatternFrameTest, OffsetIsCancelledOnlyOutsideTheBody) {
    leave_offset_in_force();
    c_nc_y = 0;
    c_nc_in_sub = 1;
    EXPECT_EQ(written_by([] { return pp_hit(10, 0, 1, 0, 0.0, 0, 0); }), crlf("X10\n"));
    ASSERT_EQ(pp_sub_end(PATTERN_03), 0);
    EXPECT_EQ(written_by([] { return pp_hit(20, 0, 1, 0, 0.0, 0, 0); }), crlf("OFS/X0Y0\nX20\n"));
    EXPECT_EQ(written_by([] { return pp_hit(30, 0, 1, 0, 0.0, 0, 0); }), crlf("X30\n"));
}

TEST_F(PatternFrameTest, HeaderStopsCleanlyAtEveryRefusedFlush) {
    expect_stops_at_every_flush(
        [this] {
            use_style(0);
            c_nc_max_subs = 2;  // warned, answered go on
            std::snprintf(c_nc_buff, PELK_NC_BUFF_MIN_SIZE, "X1\r\n");
        },
        [] { return pp_sub_begin(PATTERN_03); });
}

TEST_F(PatternFrameTest, EndStopsCleanlyAndStaysInTheBodyWhenRefused) {
    expect_stops_at_every_flush(
        [this] {
            use_style(0);
            c_nc_in_sub = 1;
            c_nc_absolute = 0;
        },
        [] { return pp_sub_end(PATTERN_03); },
        [](std::size_t written) {
            EXPECT_EQ(c_nc_in_sub, written == 0 ? 1 : 0);
            EXPECT_EQ(c_nc_absolute, 1);
        });
}

}  // namespace
