// The NC line buffer is the host's: a host that writes into it between two
// hooks, whatever it writes, gets every word of the module behind its text.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/host_fixture.h"

namespace {

class HostBufferTextTest : public HostTest {};

// Each row: the module writes first, the host then puts its own text into
// the buffer over the module's (strcpy: the module's bytes behind the host's
// zero stay where they were), and the module writes again.
TEST_F(HostBufferTextTest, ModuleWritesBehindWhateverTheHostLeftInTheBuffer) {
    struct Case {
        const char *name;
        std::function<void()> module_before;
        std::string host_text;
        std::function<void()> module_after;
        std::string buffer;  // what the buffer holds in the end
    };
    char empty[] = "";
    char x[] = "X";
    char y[] = "Y";
    const std::vector<Case> cases = {
        {"shorter text over a word of six characters", [&] { pp_let(0, x, 12.34); }, "LAA/",
         [&] { pp_let(0, empty, 7.5); }, "LAA/7.5"},
        {"one character over a longer text", [&] { pp_let(0, x, 12.34); pp_m(3); }, "(",
         [&] { pp_let(0, y, 1); }, "(Y1"},
        {"text of the same length", [] { pp_m(3); }, "ABC", [] { pp_m(5); }, "ABCM05"},
        {"longer text", [] { pp_m(3); }, "(HOST TEXT)", [&] { pp_let(0, y, 2); }, "(HOST TEXT)Y2"},
        {"emptied", [&] { pp_let(0, x, 12.34); }, "", [] { pp_eob(); }, "\r\n"},
        {"blocks of the module, then a block of the host", [] { pp_m(3); pp_eob(); pp_m(4); },
         "M03\r\nHOST\r\n", [] { pp_x_y(1, 5, 6); }, "M03\r\nHOST\r\nX5Y6"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c_nc_buff[0] = '\0';
        c.module_before();
        std::strcpy(c_nc_buff, c.host_text.c_str());
        c.module_after();
        EXPECT_EQ(std::string(c_nc_buff), c.buffer);
    }
}

}  // namespace
