// cli_file_clash_test.cpp - no output of a run is written over a file the run
// reads (the job, its machine file, LASER.PAR, the module) or over another
// output, whatever the spelling of its path: a wrong command line, exit 2,
// one line naming both files, and nothing changed.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int BAD_COMMAND_LINE = 2;

constexpr const char *SHOP = R"j({"machine": {"rewind": false, "machine_dir": "../machine"},
 "turret": [{"tool": 1, "station": 4}]})j";
constexpr const char *LASER_PAR = "@ST37,2\r\nLASER 1\r\n";

class FileClash : public PelkPost {
protected:
    void SetUp() override {
        PelkPost::SetUp();
        fs::create_directories(dir / "machines");
        fs::create_directories(dir / "machine");
        write_file(dir / "machines" / "shop.json", SHOP);
        write_file(dir / "machine" / "LASER.PAR", LASER_PAR);
        shop_job = job(R"j({"machine_file": "machines/shop.json", "work": [{"hit": {"x": 10, "y": 20, "tool": 1}}]})j");
        fs::create_symlink(dir / "machines" / "shop.json", dir / "shop-link.json");
        fs::create_hard_link(dir / "machine" / "LASER.PAR", dir / "machine" / "laser-copy.par");
    }
    // Every input as it was, and no program, map, plot or temporary beside them.
    void expect_nothing_changed(const std::string &what) {
        EXPECT_EQ(read_file(dir / "machines" / "shop.json"), SHOP) << what;
        EXPECT_EQ(read_file(dir / "machine" / "LASER.PAR"), LASER_PAR) << what;
        EXPECT_EQ(others(), "") << what;
        for (const auto &entry : fs::directory_iterator(dir / "machine")) {
            EXPECT_NE(entry.path().filename().string().front(), '.') << what << ": a temporary was left";
        }
    }
    std::string shop_job;
};

TEST_F(FileClash, NoOutputIsWrittenOverWhatTheRunReads) {
    const std::string shop = (dir / "machines" / "shop.json").string();
    const std::string laser_par = (dir / "machine" / "LASER.PAR").string();
    const std::string job_path = quote(shop_job);
    struct Row {
        const char *what;
        std::string args;
        std::string named;  // the two files the message names, as it names them
        int status = BAD_COMMAND_LINE;
    } rows[] = {
        {"the program over the machine file", "-o " + quote(shop) + " " + job_path,
         "the output " + shop + " (-o) is the machine file "},
        {"the program over LASER.PAR", "-o " + quote(laser_par) + " " + job_path,
         "the output " + laser_par + " (-o) is the laser parameter file "},
        {"--machine F -o F", "--machine " + quote(shop) + " -o " + quote(shop) + " " + quote(job(GOOD_JOB, "good.json")),
         "(-o) is the machine file " + shop},
        {"the trace over the machine file", "--trace " + quote(shop) + " -o - " + job_path,
         "the trace file " + shop + " (--trace) is the machine file "},
        {"the block map over the job", "--map " + job_path + " " + job_path, "(--map) is the job " + shop_job},
        {"the plot over LASER.PAR", "--plot " + quote(laser_par) + " " + job_path, "(--plot) is the laser parameter file"},
        {"the plot command over LASER.PAR", "plot " + job_path + " -o " + quote(laser_par),
         "the plot " + laser_par + " (-o) is the laser parameter file"},
        {"the module", "-o " + quote(PELK_MODULE_PATH) + " " + job_path, "(-o) is the module "},
        {"a symbolic link to the machine file", "-o " + quote((dir / "shop-link.json").string()) + " " + job_path,
         "(-o) is the machine file "},
        {"a hard link to LASER.PAR", "-o " + quote((dir / "machine" / "laser-copy.par").string()) + " " + job_path,
         "(-o) is the laser parameter file "},
        {"dots in the path", "-o " + quote((dir / "machine" / ".." / "machines" / "." / "shop.json").string()) + " " + job_path,
         "(-o) is the machine file "},
        {"a program into the machine file's folder under its name",
         "--output-dir " + quote((dir / "machines").string()) + " " + quote(job(SHOP, "other.json")) + " " +
             quote(job(R"j({"machine_file": "machines/shop.nc"})j", "shop.json")),
         "(-o) is the machine file ", 1},  // the batch ends with 1: one of its jobs was refused
    };
    write_file(dir / "machines" / "shop.nc", SHOP);
    for (const Row &row : rows) {
        const Result r = pelk_post(row.args);
        EXPECT_EQ(r.status, row.status) << row.what << "\n" << r.err;
        EXPECT_NE(r.err.find(row.named), std::string::npos) << row.what << "\n" << r.err;
        expect_nothing_changed(row.what);
    }
    EXPECT_EQ(read_file(dir / "machines" / "shop.nc"), SHOP);
}

}  // namespace
