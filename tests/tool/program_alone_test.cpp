// A program read without its job (cli/program_alone.h): which files hold a
// program, what its header gives (sheet, nest, clamps, in the machine's
// units), and the control that lets the laser parameters' lines stand.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/program_alone.h"
#include "job/job_reader.h"
#include "job/machine_file.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "nc/program_error.h"

namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string &name, const std::string &text) {
    const fs::path path = fs::temp_directory_path() / ("pelk_program_alone_" + name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The job made for the program's text, with the machine file's text when given.
job::Job job_for(const std::string &program, const std::string &machine = "") {
    std::FILE *file = std::tmpfile();
    std::fwrite(program.data(), 1, program.size(), file);
    std::rewind(file);
    job::MachineFile machine_file;
    if (!machine.empty()) machine_file = job::read_machine_file(scratch("machine.json", machine).string());
    job::Job job;
    try {
        job = cli::job_of_program(file, "prog.nc", machine.empty() ? nullptr : &machine_file);
    } catch (...) {
        std::fclose(file);
        throw;
    }
    // The program is left at its start for the reader.
    EXPECT_EQ(std::ftell(file), 0L);
    std::fclose(file);
    return job;
}

TEST(ProgramAlone, AProgramIsAFileThatIsNoJson) {
    const struct {
        const char *text;
        bool program;
    } cases[] = {
        {"% \r\nX10Y10T1\r\n%", true},
        {"+ \r\n%", true},
        {"{\"sheet\": {}, \"work\": []}", false},
        {"  \r\n\t{\"work\": []}", false},
        {"\xef\xbb\xbf{\"work\": []}", false},  // a byte order mark before the job
        {"", false},                            // the job reader names an empty file
    };
    int k = 0;
    for (const auto &c : cases) {
        EXPECT_EQ(cli::holds_a_program(scratch("sniff" + std::to_string(k++), c.text).string()), c.program) << c.text;
    }
    EXPECT_FALSE(cli::holds_a_program("-"));
    EXPECT_FALSE(cli::holds_a_program("/no/such/file.nc"));
}

TEST(ProgramAlone, TheHeaderGivesTheSheetTheNestAndTheClamps) {
    // ISO, variant 7000.
    job::Job job = job_for("% \r\nO0033\r\n(HOUSING-0003)\r\n(SHEET - 1.5 X 2000 Y 1000)\r\n(CLAMP 1 400 CLAMP 2 1300 )\r\nX10Y10T1\r\n%");
    EXPECT_EQ(job.sheet.size_x, 2000.0);
    EXPECT_EQ(job.sheet.size_y, 1000.0);
    EXPECT_EQ(job.sheet.thickness, 1.5);
    EXPECT_EQ(job.sheet.nest_name, "HOUSING-0003");
    EXPECT_EQ(job.machine.clamps, (std::vector<double>{400.0, 1300.0}));
    // Variant 7001: the material block comes first.
    job = job_for("% \r\nO0064\r\nMAT/B2 H3 X4000 Y1250\r\nM610\r\nM80\r\n(RAIL)\r\n(SHEET - 3 X 4000 Y 1250)\r\n()\r\nX1T1\r\n%",
                  R"({"machine": {"clamps": [100, 900]}})");
    EXPECT_EQ(job.sheet.size_x, 4000.0);
    EXPECT_EQ(job.sheet.thickness, 3.0);
    EXPECT_TRUE(job.machine.clamps.empty()) << "\"()\": the program says it has no clamps";
    // EIA: no header; the machine's clamps and the default sheet hold.
    job = job_for("+ \r\nX10Y10T1\r\n%", R"({"machine": {"clamps": [100, 900], "load_position": [1500, 600]}})");
    EXPECT_EQ(job.machine.clamps, (std::vector<double>{100.0, 900.0}));
    EXPECT_EQ(job.machine.load_x, 1500.0);
    EXPECT_EQ(job.sheet.size_x, 2500.0);
    // An inch machine: the header's values are inches.
    job = job_for("% \r\n(N)\r\n(SHEET - 0.059 X 98.425 Y 49.213)\r\n(CLAMP 1 15.748 )\r\n%",
                  R"({"machine": {"units": "inch"}, "turret": [{"tool": 1, "station": 1, "shape": "round", "size": 10}]})");
    EXPECT_NEAR(job.sheet.size_x, 2500.0, 0.01);
    EXPECT_NEAR(job.sheet.thickness, 1.5, 0.01);
    ASSERT_EQ(job.machine.clamps.size(), 1u);
    EXPECT_NEAR(job.machine.clamps[0], 400.0, 0.01);
    ASSERT_EQ(job.turret.size(), 1u);
    EXPECT_EQ(job.turret[0].shape, job::ToolShape::round);
}

TEST(ProgramAlone, AHeaderThatIsNoNumberIsRefusedAtItsLine) {
    try {
        job_for("% \r\n(N)\r\n(SHEET - 1.5 X 2OOO Y 1000)\r\n%");
        FAIL() << "taken";
    } catch (const job::JobError &e) {
        EXPECT_NE(std::string(e.what()).find("prog.nc: line 3:"), std::string::npos) << e.what();
    }
}

TEST(ProgramAlone, TheLaserParametersStandAsTheyAreAndNothingElseDoes) {
    const nc::Setup setup = cli::setup_of_program(job_for("% \r\n%"));
    auto run = [&setup](const std::string &text) {
        nc::TextSource source(text);
        nc::BlockReader reader(source, setup.known);
        nc::Control control(reader, setup);
        nc::Generator<nc::Event> events = control.events();
        long long n = 0;
        nc::Event e;
        while (events.next(e)) n += e.kind == nc::EventKind::stroke || e.kind == nc::EventKind::tool_change;
        return n;
    };
    EXPECT_EQ(run("% \r\nLPAR/P1200F3000\r\nLGAS/O2 P0.8\r\nX10Y10T1\r\n%"), 2);  // the tool change and the stroke
    EXPECT_THROW(run("% \r\nQQQ 12\r\n%"), nc::ProgramError);
    EXPECT_THROW(run("% \r\nlpar/P1\r\n%"), nc::ProgramError);
    EXPECT_THROW(run("% \r\nABCDEFG/1\r\n%"), nc::ProgramError);
}

}  // namespace
