// A host that shows the user's number format calls setlocale(LC_ALL, ""):
// under a German locale printf writes "2,5" and atof reads "2.5" as 2.  The
// module and the host read and write their numbers alike in every locale,
// so a job gives the same program, byte for byte.  (tools/run-tests.sh
// generates de_DE.UTF-8.)
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "host/plain_format.h"
#include "job/job_reader.h"
#include "tests/support/host_fixture.h"

namespace {

constexpr const char *COMMA_LOCALE = "de_DE.UTF-8";

// The C library's locale switched for one test, and back to "C" after it.
class LocaleTest : public HostTest {
protected:
    void use_comma_locale() {
        ASSERT_NE(std::setlocale(LC_ALL, COMMA_LOCALE), nullptr)
            << COMMA_LOCALE << " is not generated: run tools/run-tests.sh, or as root: "
            << "localedef -i de_DE -f UTF-8 de_DE.UTF-8";
        // The locale really reads and writes a decimal comma.
        ASSERT_EQ(std::atof("2.5"), 2.0);
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 2.5);
        ASSERT_STREQ(text, "2,5");
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        HostTest::TearDown();
    }

    // The program and the host's trace of a job.
    struct Run {
        std::string program;
        std::string trace;
        std::vector<std::string> messages;
    };
    Run run(const std::string &job_path) {
        Run r;
        const job::Job job = job::read_job_file(job_path);
        host::reset_host();
        host::set_message_stream(nullptr);
        std::ostringstream trace;
        host::set_trace(&trace);
        host::MemoryWriter out;
        EXPECT_EQ(host::run_program(job, out), 0);
        host::set_trace(nullptr);
        r.program = out.text();
        r.trace = trace.str();
        r.messages = host::messages();
        return r;
    }
};

std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The golden laser job whose LASER.PAR section is for a sheet of 2.5 mm
// ("@ST,2.5"), run in the "C" locale and under a German one.
TEST_F(LocaleTest, GoldenLaserJobIsWrittenTheSameUnderACommaDecimalLocale) {
    const std::string dir = std::string(PELK_SOURCE_DIR) + "/tests/golden/patterns_laser_and_main_contour";
    const Run plain = run(dir + "/job.json");
    EXPECT_EQ(plain.program, read_file(dir + "/expected.nc"));
    EXPECT_TRUE(plain.messages.empty());

    use_comma_locale();
    const Run comma = run(dir + "/job.json");
    EXPECT_EQ(comma.program, read_file(dir + "/expected.nc"));
    EXPECT_TRUE(comma.messages.empty()) << comma.messages.front();
    EXPECT_EQ(comma.trace, plain.trace);
    EXPECT_NE(plain.trace.find("pp_laser_line(0, 0, 20, 0, co)"), std::string::npos);
}

int plain_format(char *out, std::size_t size, const char *format, ...) {
    va_list args;
    va_start(args, format);
    const int n = host::format_plain(out, size, format, args);
    va_end(args);
    return n;
}

TEST_F(LocaleTest, HostFormatsNumbersWithAPointUnderACommaDecimalLocale) {
    use_comma_locale();
    char text[128];
    plain_format(text, sizeof text, "%.10g %f %e %g %a %d", 1570.796327, -2.5, 0.125, 1e-7, 1.5, 12345);
    EXPECT_STREQ(text, "1570.796327 -2.500000 1.250000e-01 1e-07 0x1.8p+0 12345");
}

}  // namespace
