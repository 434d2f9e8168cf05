// cli_diff_test.cpp - pelk-post diff as a user runs it: two programs, with
// its exit status and messages, its refusals, the sheet of the headers,
// programs in millimetres and in inches; two folders paired by name.
#include <string>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

// A row of hits, then a stop with its text: a program of each kind of line
// diff reads, in the dialect as the post writes it.
const char *const PROGRAM = "% \r\nO0001\r\n(NEST)\r\n(SHEET - 2 X 2500 Y 1250)\r\n(CLAMP 1 400 CLAMP 2 1300 )\r\n"
                            "X10Y20T4\r\nLAA/20 0 3\r\n(TURN THE SHEET)\r\nM00\r\nX500Y500T6\r\nX1500Y625M03\r\n%";

std::string with(std::string text, const std::string &from, const std::string &to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class PelkPostDiff : public PelkPost {
protected:
    std::string program(const std::string &name, const std::string &text) {
        write_file(dir / name, text);
        return quote((dir / name).string());
    }
};

TEST_F(PelkPostDiff, TwoProgramsThatDoTheSameEndWithZero) {
    const std::string a = program("a.nc", PROGRAM);
    const std::string b = program("b.nc", with(PROGRAM, "LAA/20 0 3\r\n", "X30\r\nX50\r\nX70\r\n"));
    const Result r = pelk_post("diff " + a + " " + b);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("b.nc do the same: 10 events compared, places within 0.012 mm\n"), std::string::npos) << r.out;
    const Result explained = pelk_post("diff --explain " + a + " " + b);
    EXPECT_NE(explained.out.find("\n  the same 3 strokes: in a row (LAA/) in "), std::string::npos) << explained.out;
    EXPECT_NE(explained.out.find("\n  not compared: comments that are no stop's text, 3 in "), std::string::npos)
        << explained.out;
    EXPECT_EQ(pelk_post("diff -q " + a + " " + b).out, "");
    EXPECT_EQ(r.err, "");
}

TEST_F(PelkPostDiff, TwoProgramsThatDifferEndWithOneAndNameTheLines) {
    const std::string a = program("a.nc", PROGRAM);
    const std::string b =
        program("b.nc", with(with(PROGRAM, "(TURN THE SHEET)", "(FLIP THE SHEET)"), "Y 1250)", "Y 1500)"));
    const Result r = pelk_post("diff " + a + " " + b);
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    const std::string a_path = (dir / "a.nc").string(), b_path = (dir / "b.nc").string();
    EXPECT_EQ(r.out, "line 4 / line 4: the sheet differs: 2500 x 1250, 2 thick / 2500 x 1500, 2 thick\n"
                     "line 9 / line 9: the operator's text differs: stop (M00) telling \"TURN THE SHEET\" / stop "
                     "(M00) telling \"FLIP THE SHEET\"\n" +
                         a_path + " and " + b_path + " differ: 2 differences\n");
    const Result one = pelk_post("diff --messages 1 " + a + " " + b);
    EXPECT_NE(one.out.find("differ: 2 differences (the first above)\n"), std::string::npos) << one.out;
    EXPECT_EQ(pelk_post("diff -q " + a + " " + b).out, a_path + " and " + b_path + " differ: 2 differences\n");
}

TEST_F(PelkPostDiff, ProgramsInMillimetresAndInInchesCompareWithTheirMachineFiles) {
    const std::string mm = program("mm.nc", "% \r\nX25.4Y50.8T1\r\nX50.8\r\n%");
    const std::string inch = program("inch.nc", "% \r\nX1Y2T1\r\nX2\r\n%");
    write_file(dir / "inch.json", R"({"machine": {"units": "inch"}})");
    const std::string machine = quote((dir / "inch.json").string());
    EXPECT_EQ(pelk_post("diff " + mm + " " + inch + " --new-machine " + machine).status, 0);
    EXPECT_EQ(pelk_post("diff " + inch + " " + mm + " --machine " + machine + " --new-machine " +
                        quote((dir / "mm.json").string()))
                  .status,
              2)
        << "a machine file that cannot be read";
    write_file(dir / "mm.json", R"({"machine": {"units": "mm"}})");
    EXPECT_EQ(pelk_post("diff " + inch + " " + mm + " --machine " + machine + " --new-machine " +
                        quote((dir / "mm.json").string()))
                  .status,
              0);
    // Read both as millimetres, the inch program is another program.
    EXPECT_EQ(pelk_post("diff " + mm + " " + inch).status, 1);
}

TEST_F(PelkPostDiff, WhatCannotBeComparedEndsWithTwoAndNothingOnStandardOutput) {
    const std::string a = program("a.nc", PROGRAM);
    const std::string broken = program("broken.nc", with(PROGRAM, "M00", "M00 junk"));
    const struct {
        std::string args;
        std::string error;
    } refused[] = {
        {a + " " + broken, (dir / "broken.nc").string() + ": line 9: "},
        {broken + " " + a, (dir / "broken.nc").string() + ": line 9: "},
        {a + " " + quote((dir / "none.nc").string()), "cannot open the program " + (dir / "none.nc").string()},
        {a + " -", "diff reads its programs from files"},
        {a + " " + quote(dir.string()), " is a folder and "},
        {a, "NEW is required"},
        {a + " " + a + " --machine " + quote((dir / "none.json").string()), "cannot open the machine file"},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.args);
        const Result r = pelk_post("diff " + c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
}

TEST_F(PelkPostDiff, TwoFoldersArePairedByName) {
    for (const char *folder : {"old", "new", "old/sub", "new/sub"}) fs::create_directories(dir / folder);
    write_file(dir / "old" / "same.nc", PROGRAM);
    write_file(dir / "new" / "same.nc", PROGRAM);
    write_file(dir / "old" / "sub" / "deep.NC", PROGRAM);
    write_file(dir / "new" / "sub" / "deep.NC", with(PROGRAM, "LAA/20 0 3\r\n", "X30\r\nX50\r\nX70\r\n"));
    write_file(dir / "old" / "moved.nc", PROGRAM);
    write_file(dir / "new" / "moved.nc", with(PROGRAM, "X500Y500T6", "X500Y501T6"));
    write_file(dir / "old" / "gone.nc", PROGRAM);
    write_file(dir / "new" / "PART7", PROGRAM);  // a program by its first line, without .nc
    write_file(dir / "new" / "notes.txt", "not a program");
    write_file(dir / "new" / ".hidden.nc", "not looked at");
    const std::string old_dir = (dir / "old").string(), new_dir = (dir / "new").string();
    const std::string expected =
        "PART7: only in " + new_dir + "\n" + "gone.nc: only in " + old_dir + "\n" +
        "moved.nc: line 10 / line 10: the place differs: stroke at X500 Y500 T6 / stroke at X500 Y501 T6\n" +
        "moved.nc: " + old_dir + "/moved.nc and " + new_dir + "/moved.nc differ: 1 difference\n" +
        "5 programs: 2 the same, 1 differ, 1 only in " + old_dir + ", 1 only in " + new_dir + "\n";
    for (const char *parallel : {"", "-j 1 ", "-j 3 "}) {
        SCOPED_TRACE(parallel);
        const Result r = pelk_post(std::string("diff ") + parallel + quote(old_dir) + " " + quote(new_dir));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, expected);
        EXPECT_EQ(r.err, "");
    }
    // Only the forms differ: the same, exit 0.
    fs::remove(dir / "old" / "gone.nc");
    fs::remove(dir / "new" / "PART7");
    write_file(dir / "new" / "moved.nc", PROGRAM);
    const Result same = pelk_post("diff " + quote(old_dir) + " " + quote(new_dir));
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "3 programs: 3 the same, 0 differ\n");
    // A program that cannot be read: named on standard error, counted, exit 2.
    write_file(dir / "new" / "same.nc", with(PROGRAM, "M00", "M00 junk"));
    const Result broken = pelk_post("diff " + quote(old_dir) + " " + quote(new_dir));
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.out, "3 programs: 2 the same, 0 differ, 1 cannot be read\n");
    EXPECT_NE(broken.err.find("pelk-post: error: " + new_dir + "/same.nc: line 9: "), std::string::npos) << broken.err;
}

}  // namespace
