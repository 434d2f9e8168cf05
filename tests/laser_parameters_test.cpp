// The LASER.PAR section of the sheet, and lifting the laser head.
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
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

TEST_F(LaserParametersTest, MissingFileIsLookedForOnceAProgram) {
    use_sheet("ST37", 2.0);
    pp_laser_enable();
    write_file("@ST,2\nA\n");  // too late for this program
    pp_laser_enable();
    EXPECT_EQ(output(), "");
    EXPECT_EQ(host::messages(), (std::vector<std::string>{CANNOT_OPEN + path_}));

    start_new_program();
    use_sheet("ST37", 2.0);
    pp_laser_enable();
    EXPECT_EQ(output(), crlf("A\n"));
}

TEST_F(LaserParametersTest, WithoutMatchTheFileIsNotReadAgainInTheProgram) {
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,3\nA\n"), "");
    EXPECT_EQ(host::messages(), (std::vector<std::string>{NO_SECTION + path_}));
    EXPECT_EQ(section_of("@ST,3\nA\n@ST,2\nB\n"), "");
    EXPECT_EQ(host::messages().size(), 1u);

    start_new_program();
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,3\nA\n@ST,2\nB\n"), crlf("B\n"));
}

// Each part of the program that can run first on the control gets the
// section ahead of its first laser step: every pattern definition, and the
// main body.  The file is read once: what it says later does not count.
TEST_F(LaserParametersTest, EveryPatternDefinitionAndTheMainBodyGetTheSection) {
    use_sheet("ST37", 2.0);
    c_program_number = 1;
    EXPECT_EQ(section_of("@ST,2\nA1\nA2\n"), crlf("A1\nA2\n"));  // a laser step before the definitions
    write_file("@ST,2\nchanged\n");

    std::string expected = crlf("A1\nA2\n");
    for (int pattern = 3; pattern <= 4; ++pattern) {
        SCOPED_TRACE(pattern);
        ASSERT_EQ(pp_sub_begin(pattern), 0);
        pp_laser_enable();
        pp_laser_enable();
        ASSERT_EQ(pp_sub_end(pattern), 0);
        const std::string shown = std::to_string(pattern - 2);
        expected += crlf("PAT0" + shown + "/\nA1\nA2\nEND0" + shown + "\n");
    }
    pp_laser_enable();
    pp_laser_enable();
    expected += crlf("A1\nA2\n");
    EXPECT_EQ(output(), expected);

    // A definition that does not cut gets nothing.
    ASSERT_EQ(pp_sub_begin(5), 0);
    ASSERT_EQ(pp_sub_end(5), 0);
    EXPECT_EQ(output(), expected + crlf("PAT03/\nEND03\n"));
    EXPECT_TRUE(host::messages().empty());
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

// A data line that the control would read as more than one block is left
// out with a warning naming the file and the line; the section's other
// lines are written.  Each row: the line (line 2 of the file, between the
// section's header and a line "OK"), and the warning, or "" when the line is
// written.
TEST_F(LaserParametersTest, DataLinesTheControlWouldMisreadAreSkipped) {
    const std::string control = "Line of the laser parameter file holds a control character (a tab, an escape or the like), skipped";
    const std::string percent = "Line of the laser parameter file begins with \"%\", the end of the program on the control, skipped";
    const std::string comment = "Line of the laser parameter file opens a comment with \"(\" and does not close it, skipped";
    const std::string zero = "Line of the laser parameter file holds a zero byte, skipped";
    const std::string comment_line =
        "Line of the laser parameter file is a comment on the control (it begins with \"(\"), not a parameter, skipped";
    const std::string stray = "Line of the laser parameter file closes a comment with \")\" that it did not open, skipped";
    const std::string own = "Line of the laser parameter file is a block the control runs itself (a word such as X, M or T "
                            "with its number, or a command such as OFS/), not a parameter, skipped";
    struct Case {
        std::string line;
        std::string warning;
    };
    const std::vector<Case> cases = {
        {"%", percent},
        {"%LPAR/P1", percent},
        {"   %", percent},
        {"LPAR/P1\tF2", control},
        {"\x1b[2J", control},
        {"LPAR/P1\x7f", control},
        {"\x01", control},
        {"\f", control},
        {"(open", comment_line},
        {"LPAR/P1 (power", comment},
        {"A) (B", comment},
        {"LPAR (a (b) c", ""},  // the first ")" closes the comment: no nesting
        {"(a (b) c", comment_line},
        {"(GAS)", comment_line},  // the control reads a comment, no parameter of the cut
        {"  (GAS)", comment_line},
        {"(A)B", comment_line},
        {std::string("A\0B", 3), zero},
        {std::string("\0", 1), zero},
        {std::string("(\0)", 3), zero},
        {"LPAR/P1 (power 50%)", ""},
        {"A 50%", ""},
        {"LGAS/O2 (closed)", ""},
        {"A) B", stray},
        {"A (B)) C", stray},
        {" LPAR/P1 ", ""},
        {"LGAS/O2 P0.8 \xc2\xb0", ""},  // UTF-8 text is the machine's business
        // Blocks of the program's own: M30 would rewind before the cut.
        {"M30", own},
        {"  M30", own},
        {"X100Y100T1", own},
        {"DX-5", own},
        {"S.5", own},
        {"O0001", own},
        {"OFS/X0Y0", own},
        {"PAT01", own},
        {"END01", own},
        {"MAT/B3", own},
        {"M", ""},
        {"MX", ""},
        {"LASER 1", ""},
        {"OFFSET", ""},
        {"PATH/A", ""},
        {"SPEED/3", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.line));
        start_new_program();
        use_sheet("ST37", 2.0);
        const std::string written = section_of("@ST,2\n" + c.line + "\nOK\n");
        if (c.warning.empty()) {
            EXPECT_EQ(written, c.line + "\r\nOK\r\n");
            EXPECT_TRUE(host::messages().empty());
            continue;
        }
        // Never joined to the next line, never written in part.
        EXPECT_EQ(written, "OK\r\n");
        std::vector<std::string> warnings = host::messages();
        // The host tells of zero bytes itself as well.
        std::erase_if(warnings, [](const std::string &m) { return m.find("holds zero bytes") != std::string::npos; });
        EXPECT_EQ(warnings, (std::vector<std::string>{"warning: " + c.warning + ": " + path_ + ", line 2"}));
    }
}

TEST_F(LaserParametersTest, ZeroByteLineIsSkippedInEveryPlaceOfTheReadersPieces) {
    // The host's reader hands over pieces of at most 510 characters up to a
    // line feed: a zero byte as the last character of a piece, and a line
    // (after lines ended by a carriage return alone) whose zero byte falls
    // in one piece and its end in the next.
    use_sheet("ST37", 2.0);
    const std::string zero_at_510 = std::string(509, 'a') + std::string("\0", 1);
    const std::string d400(400, 'd');
    const std::string spanning = std::string(100, 'b') + std::string("\0", 1) + std::string(100, 'c');
    EXPECT_EQ(section_of("@ST,2\n" + zero_at_510 + "\nA1\r" + d400 + "\r" + spanning + "\nA2"),
              crlf("A1\n" + d400 + "\nA2\n"));
    int skipped = 0;
    for (const std::string &m : host::messages()) skipped += m.find("holds a zero byte, skipped") != std::string::npos;
    EXPECT_EQ(skipped, 2);
}

// A zero byte in a header: it still ends a section, and never fits.
TEST_F(LaserParametersTest, HeaderWithAZeroByteEndsTheSectionAndNeverFits) {
    use_sheet("ST37", 2.0);
    const std::string header = std::string("@ST,2\0", 7);
    EXPECT_EQ(section_of(header + "\nA\n@ST,2\nB\n" + header + "\nC\n"), crlf("B\n"));
}

TEST_F(LaserParametersTest, TooLongHeaderIsSkippedButStillEndsTheSection) {
    use_sheet("ST37", 2.0);
    const std::string long_header = "@" + std::string(600, 'S') + ",2";
    EXPECT_EQ(section_of(long_header + "\nA\n@ST,2\nB\n" + long_header + "\nC\n"), crlf("B\n"));
    ASSERT_EQ(host::messages().size(), 1u);
    EXPECT_NE(host::messages()[0].find(", line 1"), std::string::npos);
}

// The section is kept for the program in a buffer of 16 384 bytes (each line
// with one byte for its end, and a terminating zero): a section that does
// not fit is not written at all, with a warning naming its header.
TEST_F(LaserParametersTest, SectionIsKeptWholeOrNotAtAll) {
    std::string lines;
    std::vector<std::string> blocks;
    for (int i = 0; i < 32; ++i) {
        lines += std::string(510, static_cast<char>('a' + i % 26)) + "\n";
    }
    const std::string fits = lines + std::string(30, 'z') + "\n";  // 16 383 bytes with their line ends
    const std::string too_long = lines + std::string(31, 'z') + "\n";

    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("@ST,2\n" + fits + "@AL,2\n"), crlf(fits));
    EXPECT_TRUE(host::messages().empty());

    start_new_program();
    use_sheet("ST37", 2.0);
    EXPECT_EQ(section_of("; note\n@ST,2\n" + too_long), "");
    EXPECT_EQ(host::messages(),
              (std::vector<std::string>{"warning: Section of the laser parameter file longer than 16383 bytes, "
                                        "not written: " + path_ + ", line 2"}));
    EXPECT_EQ(section_of("@ST,2\nA\n"), "");  // not read again, no second warning
    EXPECT_EQ(host::messages().size(), 1u);
}

// No more than 4 MiB of the file are read: a file that never ends, or one
// that holds no fitting section in its first 4 MiB, ends there with a
// warning, once per program.
TEST_F(LaserParametersTest, ReadingStopsAtFourMebibytes) {
    const std::string limit = "warning: Laser parameter file longer than 4194304 bytes, read no further: ";
    const std::string comments = std::string(4 * 1024 * 1024 - 6, ';');  // with "@ST,2\n", 4 MiB exactly
    struct Case {
        const char *name;
        std::string file;     // written to LASER.PAR, or a device to link it to
        bool device;
        std::string written;
        std::vector<std::string> warnings;  // of the module (the host's own are left out)
    };
    const std::vector<Case> cases = {
        {"endless zero bytes", "/dev/zero", true, "", {limit + path_, NO_SECTION + path_}},
        {"endless random bytes", "/dev/urandom", true, "", {limit + path_, NO_SECTION + path_}},
        {"section first, the rest far beyond the limit",
         "@ST,2\nA\n@end\n" + std::string(5 * 1024 * 1024, ';'), false, crlf("A\n"), {}},
        {"section beyond the limit", comments + "\n;\n@ST,2\nA\n", false, "", {limit + path_, NO_SECTION + path_}},
        {"4 MiB exactly, the section at the end", comments + "\n@ST,2", false, "", {}},
        {"section running into the limit", "@ST,2\nA\n" + std::string(5 * 1024 * 1024, ';'), false, "",
         {limit + path_,
          "warning: Section of the laser parameter file does not end within its first 4194304 bytes, not written: " +
              path_ + ", line 1"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        start_new_program();
        use_sheet("ST37", 2.0);
        std::filesystem::remove(path_);
        if (c.device) {
            std::filesystem::create_symlink(c.file, path_);
        } else {
            write_file(c.file);
        }
        const std::size_t before = output().size();
        pp_laser_enable();
        pp_laser_enable();  // the outcome is kept: not read again
        EXPECT_EQ(output().substr(before), c.written);
        // Each text once (the host tells of thousands of pieces with zero
        // bytes, random bytes make headers and lines of every kind).
        std::vector<std::string> warnings;
        for (const host::MessageCount &m : host::message_counts()) {
            if (m.text.find("holds zero bytes") != std::string::npos) continue;
            if (c.device && m.text.find("Line of the laser parameter file") != std::string::npos) continue;
            warnings.push_back("warning: " + m.text);
            EXPECT_EQ(m.count, 1) << m.text;
        }
        EXPECT_EQ(warnings, c.warnings);
    }
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
