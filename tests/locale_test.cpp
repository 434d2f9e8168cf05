// A host that shows the user's number format calls setlocale(LC_ALL, ""):
// under a German locale printf writes "2,5" and atof reads "2.5" as 2.  The
// module and the host read and write their numbers alike in every locale,
// so a job gives the same program, byte for byte.  (tools/run-tests.sh
// generates de_DE.UTF-8.)
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/plain_format.h"
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
};

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
