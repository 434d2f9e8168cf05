// The LASER.PAR section of the sheet, and lifting the laser head.
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/host_fixture.h"

namespace {

const std::string CANNOT_OPEN = "warning: cannot open the laser parameter file: ";
const std::string NO_SECTION =
    "warning: no section of the laser parameter file matches the sheet's material and thickness: ";

class LaserParametersTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        std::string pattern = (std::filesystem::temp_directory_path() / "pelk-laser-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        path_ = dir_ + "/LASER.PAR";
    }

    void TearDown() override {
        std::filesystem::remove_all(dir_);
        HostTest::TearDown();
    }

    void write_file(const std::string &bytes) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    void use_sheet(const std::string &material, double thickness) {
        job_.machine.machine_dir = dir_;
        job_.sheet.material = material;
        job_.sheet.thickness = thickness;
        host::apply_job(job_);
    }

    // What one call of the hook writes, material ST37 of 2 unless set before.
    std::string section_of(const std::string &file) {
        write_file(file);
        const std::size_t before = output().size();
        pp_laser_enable();
        return output().substr(before);
    }

    std::string dir_;
    std::string path_;
    job::Job job_;
};

TEST_F(LaserParametersTest, HeaderNameIsACaseBlindPrefixOfTheMaterial) {
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST37-A,2\nlonger name\n"
                         "@st,2\nB1\n B2 \n"
                         "@ST,2\nsecond match\n"),
              crlf("B1\n B2 \n"));
    EXPECT_EQ(writer.pieces(), (std::vector<std::string>{"B1\r\n", " B2 \r\n"}));
    EXPECT_TRUE(host::messages().empty());
}

TEST_F(LaserParametersTest, ThicknessMustAgreeWithinAMillionth) {
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,2.5\nA\n@ST,2.0000011\nB\n@ST,1.9999995\nC\n"), crlf("C\n"));
}

TEST_F(LaserParametersTest, MaterialNameEndsAtTheLastComma) {
    // Split at the first comma, the first header would read as material
    // "al" of thickness 2.
    use_sheet("Al,Mg3", 2.0);
    EXPECT_EQ(section_of("@al,2,5\nX\n@al,mg,2\nA\n"), crlf("A\n"));
}

TEST_F(LaserParametersTest, EmptyMaterialNameMatchesEveryMaterialOfTheThickness) {
    use_sheet("ALU", 2.0);
    EXPECT_EQ(section_of("@ST,2\nA\n@,2\nB\n"), crlf("B\n"));

    start_new_program();
    use_sheet("ALU", 3.0);
    EXPECT_EQ(section_of("@,2\nB\n"), "");
    EXPECT_EQ(host::messages(), (std::vector<std::string>{NO_SECTION + path_}));
}

TEST_F(LaserParametersTest, ThicknessWithoutNumberMatchesOnlyThicknessZero) {
    use_sheet("ST37", 0.0);
    EXPECT_EQ(section_of("@ST,abc\nA\n"), crlf("A\n"));

    start_new_program();
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,abc\nA\n"), "");
    EXPECT_EQ(host::messages(), (std::vector<std::string>{NO_SECTION + path_}));
}

TEST_F(LaserParametersTest, CommentsAndEmptyLinesDoNotEndTheSectionButAnAtSignDoes) {
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("; head\n@no comma\nbefore\n@ST,2\nA1\n\n; inside\nA2\n@\nA3\n@ST,2\nA4\n"),
              crlf("A1\nA2\n"));

    start_new_program();
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,2\nA1\n@other text\nA2\n"), crlf("A1\n"));
}

TEST_F(LaserParametersTest, LinesEndAtALineFeedACarriageReturnOrBoth) {
    struct Case {
        const char *name;
        std::string file;
        std::string written;
    };
    std::string many_short_lines = "@ST,2\r", many_blocks;
    for (int i = 0; i < 200; ++i) {
        many_short_lines += "L" + std::to_string(i) + "\r";
        many_blocks += "L" + std::to_string(i) + "\r\n";
    }
    const std::vector<Case> cases = {
        {"LF", "@ST,2\nA1\nA2\n", crlf("A1\nA2\n")},
        {"CR LF", "@ST,2\r\nA1\r\n\r\nA2", crlf("A1\nA2\n")},
        {"CR alone", "@ST,2\rA1\rA2\r\rA3", crlf("A1\nA2\nA3\n")},
        {"mixed", "@ST,2\r\nA1\rA2 rest\rnext\n\r@AL,2\rA3\n", crlf("A1\nA2 rest\nnext\n")},
        {"LF CR is two line ends", "@ST,2\n\rA1\n\r", crlf("A1\n")},
        {"CR alone, more than a piece of the reader", many_short_lines, many_blocks},
        {"byte-order mark before the header", "\xEF\xBB\xBF@ST,2\nA1\n", crlf("A1\n")},
        {"byte-order mark before a comment", "\xEF\xBB\xBF; note\r@ST,2\rA1\r", crlf("A1\n")},
        {"byte-order mark only at the start", "@ST,2\n\xEF\xBB\xBF" "A1\n", "\xEF\xBB\xBF" "A1\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        start_new_program();
        use_sheet("ST37", 2.0);
        EXPECT_EQ(section_of(c.file), c.written);
        EXPECT_TRUE(host::messages().empty());
    }
}

TEST_F(LaserParametersTest, SectionIsWrittenOnceButEveryCallEndsNibblingAndHitting) {
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,2\nA1\n"), crlf("A1\n"));

    std::ostringstream trace;
    host::set_trace(&trace);
    pp_laser_enable();
    host::set_trace(nullptr);
    EXPECT_EQ(output(), crlf("A1\n"));
    EXPECT_EQ(trace.str(), "pp_ni_off()\npp_hit_off()\n");
}

TEST_F(LaserParametersTest, EmptyMatchingSectionCountsAsWritten) {
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,2\n; nothing\n@ST,3\nA\n"), "");
    EXPECT_TRUE(host::messages().empty());
    EXPECT_EQ(section_of("@ST,2\nA\n"), "");
}

TEST_F(LaserParametersTest, MissingFileIsReportedAtEveryCall) {
    use_sheet("ST37", 2.0);
    pp_laser_enable();
    pp_laser_enable();
    EXPECT_EQ(output(), "");
    EXPECT_EQ(host::messages(), (std::vector<std::string>{CANNOT_OPEN + path_, CANNOT_OPEN + path_}));
}

TEST_F(LaserParametersTest, WithoutMatchTheFileIsReadAgainAtTheNextCall) {
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,3\nA\n"), "");
    EXPECT_EQ(host::messages(), (std::vector<std::string>{NO_SECTION + path_}));
    EXPECT_EQ(section_of("@ST,3\nA\n@ST,2\nB\n"), crlf("B\n"));
    EXPECT_EQ(host::messages().size(), 1u);
}

TEST_F(LaserParametersTest, LongLinesAreNeverSplitIntoBlocks) {
    use_sheet("ST37", 2.0);
    const std::string longest(510, 'a');
    const std::string longest_cr(510, 'b');
    const std::string too_long(511, 'c');
    const std::string much_too_long(1500, 'd');
    const std::string last(510, 'e');
    const std::string file = ";" + much_too_long + "\n"              // line 1: comment
                             "@ST,2\n"                                // line 2
                             + longest + "\n"                         // line 3
                             + longest_cr + "\r\n"                    // line 4
                             + too_long + "\n"                        // line 5
                             "A1\n"                                   // line 6
                             + much_too_long + "\r\n"                 // line 7
                             "A2\n"                                   // line 8
                             + last;                                  // line 9, no line end
    EXPECT_EQ(section_of(file), longest + "\r\n" + longest_cr + "\r\nA1\r\nA2\r\n" + last + "\r\n");
    const std::string too_long_text = "warning: Line of the laser parameter file longer than 510 characters, skipped: ";
    EXPECT_EQ(host::messages(), (std::vector<std::string>{too_long_text + path_ + ", line 5",
                                                           too_long_text + path_ + ", line 7"}));
}

TEST_F(LaserParametersTest, TooLongHeaderIsSkippedButStillEndsTheSection) {
    use_sheet("ST37", 2.0);
    const std::string long_header = "@" + std::string(600, 'S') + ",2";
    EXPECT_EQ(section_of(long_header + "\nA\n@ST,2\nB\n" + long_header + "\nC\n"), crlf("B\n"));
    ASSERT_EQ(host::messages().size(), 1u);
    EXPECT_NE(host::messages()[0].find(", line 1"), std::string::npos);
}

TEST_F(LaserParametersTest, RefusedFlushStopsAtOnceAndLeavesTheSectionUnwritten) {
    const std::string file = "@ST,2\nA1\n; note\nA2\nA3\n@ST,2\nA4\n";
    const std::vector<std::string> full = {"A1\r\n", "A2\r\n", "A3\r\n"};
    for (int n = 1; n <= static_cast<int>(full.size()) + 1; ++n) {
        SCOPED_TRACE(n);
        start_new_program();
        host::MemoryWriter refusing;
        refusing.refuse_from(n);
        host::set_writer(&refusing);
        use_sheet("ST37", 2.0);
        write_file(file);
        pp_laser_enable();
        EXPECT_EQ(refusing.pieces(), std::vector<std::string>(full.begin(), full.begin() + (n - 1)));
        EXPECT_EQ(refusing.flushes(), std::min<int>(n, static_cast<int>(full.size())));

        // A refused section counts as not written: the next call (to a
        // working writer) writes it whole.
        host::MemoryWriter fresh;
        host::set_writer(&fresh);
        pp_laser_enable();
        const std::size_t again = n <= static_cast<int>(full.size()) ? full.size() : 0;
        EXPECT_EQ(fresh.pieces().size(), again);
        host::set_writer(&writer);
    }
}

TEST_F(LaserParametersTest, DisableWritesM23OnlyWhileTheHeadIsDown) {
    c_nc_laser_head_down = 1;
    pp_laser_disable();
    EXPECT_EQ(output(), crlf("M23\n"));
    EXPECT_EQ(c_nc_laser_head_down, 0);
    EXPECT_EQ(writer.flushes(), 0);

    std::ostringstream trace;
    host::set_trace(&trace);
    pp_laser_disable();
    host::set_trace(nullptr);
    EXPECT_EQ(output(), crlf("M23\n"));
    EXPECT_EQ(trace.str(), "pp_ni_off()\n");
}

}  // namespace
