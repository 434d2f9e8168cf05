// Host messages as the module fetches and shows them, and the call trace.
#include <sstream>
#include <string>

#include "tests/support/host_fixture.h"

namespace {

int conversions(const char *text) {
    int n = 0;
    for (const char *p = text; *p != '\0'; ++p) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            ++p;
            continue;
        }
        ++n;
        if (p[1] != 'd') return -1;
    }
    return n;
}

}  // namespace

using HostMessages = HostTest;

TEST_F(HostMessages, TextsByNumber) {
    for (int n : {837, 851}) EXPECT_EQ(conversions(cmsg(n)), 1) << n;
    for (int n : {852, 853, 863, 889, 1311, 1318, 1373, 1374, 1375, 1376, 1382, 1383}) {
        EXPECT_EQ(conversions(cmsg(n)), 0) << n;
        EXPECT_STRNE(cmsg(n), "") << n;
        EXPECT_EQ(std::string(cmsg(n)).rfind("message ", 0), std::string::npos) << n;
    }
    EXPECT_STREQ(cmsg(1234), "message 1234");
    // Two unknown texts can be used together.
    const char *a = cmsg(1);
    const char *b = cmsg(2);
    EXPECT_STREQ(a, "message 1");
    EXPECT_STREQ(b, "message 2");
}

TEST_F(HostMessages, WarningsAreLoggedCountedAndShownOnce) {
    std::ostringstream shown;
    host::set_message_stream(&shown);
    EXPECT_EQ(prerr(1, "", cmsg(1311), "/m/LASER.PAR"), 0);
    prerr(1, "Title", "text", nullptr);
    EXPECT_EQ(pp_wait_for_key(2, "look"), 0);
    for (int i = 0; i < 3; ++i) prerr(1, "", cmsg(1311), "/m/LASER.PAR");

    const std::vector<std::string> expected = {
        "warning: cannot open the laser parameter file: /m/LASER.PAR",
        "warning: Title text",
        "warning: look",
        "warning: cannot open the laser parameter file: /m/LASER.PAR",
        "warning: cannot open the laser parameter file: /m/LASER.PAR",
        "warning: cannot open the laser parameter file: /m/LASER.PAR",
    };
    EXPECT_EQ(host::messages(), expected);
    EXPECT_EQ(host::message_total(), 6);
    ASSERT_EQ(host::message_counts().size(), 3u);
    EXPECT_EQ(host::message_counts()[0].count, 4);
    EXPECT_EQ(host::message_counts()[2].text, "look");
    // Each text once while the program runs, the repeated ones counted at the end.
    host::show_repeated_messages();
    EXPECT_EQ(shown.str(),
              "pelk-post: warning: cannot open the laser parameter file: /m/LASER.PAR\n"
              "pelk-post: warning: Title text\n"
              "pelk-post: warning: look\n"
              "pelk-post: warning: cannot open the laser parameter file: /m/LASER.PAR (4 times in all)\n");
    // A warning does not stop the writer unless asked to.
    EXPECT_EQ(flush_nc_buffer(), 0);

    host::reset_host();
    host::set_message_stream(nullptr);
    EXPECT_TRUE(host::messages().empty());
    EXPECT_TRUE(host::message_counts().empty());
    EXPECT_EQ(host::message_total(), 0);
}

TEST_F(HostMessages, WithStopOnWarningsAWarningStopsTheWriter) {
    std::ostringstream shown;
    host::set_message_stream(&shown);
    host::set_stop_on_warnings(true);
    EXPECT_EQ(flush_nc_buffer(), 0);
    EXPECT_EQ(pp_wait_for_key(2, "stop here"), 1);
    EXPECT_EQ(flush_nc_buffer(), 1);  // refused from the warning on
    EXPECT_EQ(shown.str(), "pelk-post: error: stop here\n");

    // The same for a prerr, whose answer the module does not read.
    host::reset_host();
    host::set_writer(&writer);
    host::set_message_stream(nullptr);
    host::set_stop_on_warnings(true);
    prerr(1, "", "text", nullptr);
    EXPECT_EQ(flush_nc_buffer(), 1);

    host::reset_host();
    host::set_writer(&writer);
    EXPECT_EQ(pp_wait_for_key(2, "go on"), 0);  // reset: go on again
    EXPECT_EQ(flush_nc_buffer(), 0);
}

TEST_F(HostMessages, TheLogIsBoundedTheCountIsNot) {
    const long many = static_cast<long>(host::MAX_LOGGED_MESSAGES) + 5;
    for (long i = 0; i < many; ++i) pp_wait_for_key(2, i % 2 == 0 ? "even" : "odd");
    EXPECT_EQ(host::messages().size(), host::MAX_LOGGED_MESSAGES);
    EXPECT_EQ(host::message_total(), many);
    ASSERT_EQ(host::message_counts().size(), 2u);
    EXPECT_EQ(host::message_counts()[0].count + host::message_counts()[1].count, many);
}

TEST_F(HostMessages, TraceWritesOneLinePerCall) {
    std::ostringstream trace;
    host::set_trace(&trace);
    job::Job j;
    job::Station s;
    s.tool = 3;
    s.station = 12;
    j.turret = {s};
    host::apply_job(j);
    EXPECT_EQ(tool_to_turret_station(3), 12);
    te_update_hit(100, 50, 1, 1.5);
    prerr(1, "", "text", nullptr);
    gen_nc_m(3);
    EXPECT_EQ(trace.str(),
              "tool_to_turret_station(3) -> 12\n"
              "te_update_hit(100, 50, 1, 1.5)\n"
              "prerr(1, \"\", \"text\", NULL) -> 0\n"
              "pp_m(3)\n");
    host::set_trace(nullptr);
    gen_nc_m(3);
    EXPECT_EQ(trace.str().find("pp_m(3)\npp_m"), std::string::npos);
}
