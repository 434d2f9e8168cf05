// cli_fixture.cpp - running pelk-post as a user does.
#include "tests/support/cli_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

const char *const GOOD_JOB = R"j({"machine": {"rewind": false},
 "sheet": {"material": "ST37 (3)", "thickness": 2, "nest_name": "N"},
 "turret": [{"tool": 1, "station": 4}],
 "work": [{"hit": {"x": 10, "y": 20, "tool": 1}}]})j";

const char *const LASER_JOB = R"j({"machine": {"rewind": false, "machine_dir": "machine"},
 "sheet": {"material": "ST37 (3)", "thickness": 2, "nest_name": "N"},
 "turret": [{"tool": 90, "station": 20, "laser": true}],
 "laser_technologies": [{"number": 1, "feedrate": 25, "mode": 1, "m7x": 2, "s_value": 450}],
 "work": [
  {"laser_contour": {"technology": 1, "elements": [{"line": {"from": [10, 10], "to": [50, 10]}}]}},
  {"laser_contour": {"technology": 1, "elements": [{"line": {"from": [10, 60], "to": [50, 60]}}]}},
  {"laser_contour": {"technology": 1, "elements": [{"line": {"from": [10, 90], "to": [50, 90]}}]}}]})j";

std::string read_file(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const fs::path &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string quote(const std::string &text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

std::string pelk_post_command() { return quote(PELK_POST_PATH) + " --module " + quote(PELK_MODULE_PATH); }

void PelkPost::SetUp() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::path(::testing::TempDir()) /
          (std::string("pelk_cli_") + info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
}

void PelkPost::TearDown() { fs::remove_all(dir); }

Result PelkPost::shell(const std::string &command) {
    const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
    const std::string line = "( " + command + " ) >" + quote(out.string()) + " 2>" + quote(err.string());
    const int raw = std::system(line.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = read_file(out);
    r.err = read_file(err);
    fs::remove(out);
    fs::remove(err);
    return r;
}

Result PelkPost::pelk_post(const std::string &args) { return shell(pelk_post_command() + " " + args); }

std::string PelkPost::job(const std::string &text, const std::string &name) {
    write_file(dir / name, text);
    return (dir / name).string();
}

std::string PelkPost::others() const {
    std::string names;
    for (const auto &entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".json" && !entry.is_directory()) names += entry.path().filename().string() + " ";
    }
    return names;
}

void expect_refused(const Result &r, const std::string &place) {
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("pelk-post: error: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(place), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "not one line: " << r.err;
    EXPECT_EQ(r.out, "");
}
