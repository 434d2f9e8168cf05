// The host's line reader and machine directory, as the laser parameter
// reading uses them.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/host_fixture.h"

namespace {

FILE *file_with(const std::string &content) {
    FILE *f = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), f);
    std::rewind(f);
    return f;
}

}  // namespace

TEST(HostFiles, ReadsLinesLikeFgetsKeepingCarriageReturns) {
    FILE *f = file_with("@ST,2\r\nM100\n\nlast");
    char line[16];
    ASSERT_NE(f_get_string(line, sizeof line, f), 0);
    EXPECT_STREQ(line, "@ST,2\r\n");
    ASSERT_NE(f_get_string(line, sizeof line, f), 0);
    EXPECT_STREQ(line, "M100\n");
    ASSERT_NE(f_get_string(line, sizeof line, f), 0);
    EXPECT_STREQ(line, "\n");
    ASSERT_NE(f_get_string(line, sizeof line, f), 0);
    EXPECT_STREQ(line, "last");
    EXPECT_EQ(f_get_string(line, sizeof line, f), 0);
    EXPECT_STREQ(line, "");
    std::fclose(f);
}

TEST(HostFiles, ALongLineComesInPiecesOfLimitMinusOne) {
    FILE *f = file_with(std::string(10, 'a') + "\nz\n");
    char line[8];
    std::memset(line, '#', sizeof line);
    ASSERT_NE(f_get_string(line, 5, f), 0);
    EXPECT_STREQ(line, "aaaa");
    EXPECT_EQ(line[5], '#');  // nothing beyond the limit was touched
    ASSERT_NE(f_get_string(line, 5, f), 0);
    EXPECT_STREQ(line, "aaaa");
    ASSERT_NE(f_get_string(line, 5, f), 0);
    EXPECT_STREQ(line, "aa\n");
    ASSERT_NE(f_get_string(line, 5, f), 0);
    EXPECT_STREQ(line, "z\n");
    EXPECT_EQ(f_get_string(line, 5, f), 0);
    std::fclose(f);
}

TEST(HostFiles, UselessArgumentsReadNothing) {
    FILE *f = file_with("abc\n");
    char line[4] = "xyz";
    EXPECT_EQ(f_get_string(line, 0, f), 0);
    EXPECT_STREQ(line, "xyz");
    EXPECT_EQ(f_get_string(line, -3, f), 0);
    EXPECT_EQ(f_get_string(line, 1, f), 0);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(f_get_string(nullptr, 4, f), 0);
    EXPECT_EQ(f_get_string(line, 4, nullptr), 0);
    // Nothing was consumed by the refused calls.
    ASSERT_NE(f_get_string(line, 4, f), 0);
    EXPECT_STREQ(line, "abc");
    std::fclose(f);
}

using HostMachineDir = HostTest;

TEST_F(HostMachineDir, AnsweredWithoutTrailingSeparator) {
    job::Job j;
    j.machine.machine_dir = "/opt/machines/pelk/";
    host::apply_job(j);
    EXPECT_STREQ(get_machine_dir_str(), "/opt/machines/pelk");
    j.machine.machine_dir = "/opt/machines//";
    host::apply_job(j);
    EXPECT_STREQ(get_machine_dir_str(), "/opt/machines");
    j.machine.machine_dir = "relative";
    host::apply_job(j);
    EXPECT_STREQ(get_machine_dir_str(), "relative");
}
