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

TEST_F(HostMessages, ErrorsAndWarningsAreLoggedAndShown) {
    std::ostringstream shown;
    host::set_message_stream(&shown);
    EXPECT_EQ(prerr(1, "", cmsg(1311), "/m/LASER.PAR"), 0);
    prerr(1, "Title", "text", nullptr);
    EXPECT_EQ(pp_wait_for_key(2, "look"), 0);
    host::set_stop_on_warnings(true);
    EXPECT_EQ(pp_wait_for_key(2, "stop here"), 1);

    const std::vector<std::string> expected = {
        "error: cannot open the laser parameter file: /m/LASER.PAR",
        "error: Title text",
        "warning: look",
        "warning: stop here",
    };
    EXPECT_EQ(host::messages(), expected);
    EXPECT_EQ(shown.str(),
              "pelk-post: error: cannot open the laser parameter file: /m/LASER.PAR\n"
              "pelk-post: error: Title text\n"
              "pelk-post: warning: look\n"
              "pelk-post: warning: stop here\n");
    host::reset_host();
    host::set_message_stream(nullptr);
    EXPECT_TRUE(host::messages().empty());
    EXPECT_EQ(pp_wait_for_key(2, "go on"), 0);  // reset: go on again
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
