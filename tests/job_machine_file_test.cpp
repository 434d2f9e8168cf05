// job_machine_file_test.cpp - a machine file named by a job or by the command
// line: what the job gives itself wins key by key, wherever the parts stand
// in the file, and a fault in the machine file names that file and the place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "job/job_reader.h"
#include "job/machine_file.h"

namespace fs = std::filesystem;

namespace {

// A shop's machine: 7001, its turret and two technologies.
const char *SHOP = R"({"$schema": "../schema.json",
  "machine": {"post_processor": 7001, "program_number": 5, "clamps": [300, 900, 1500], "load_position": [1500, 600],
              "machine_dir": "laser"},
  "turret": [{"tool": 11, "station": 1}, {"tool": 12, "station": 3, "indexable": true},
             {"tool": 13, "station": 5, "options": "F"}, {"tool": 90, "station": 20, "laser": true}],
  "laser_technologies": [{"number": 1, "feedrate": 25}, {"number": 2, "feedrate": 12.5}]})";

class MachineFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pelk_machine_file_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "machines");
        write("machines/shop.json", SHOP);
    }
    void TearDown() override { fs::remove_all(dir); }

    void write(const std::string &name, const std::string &text) const { std::ofstream(dir / name) << text; }
    job::Job read(const std::string &text) const { return job::parse_job(text, dir.string()); }
    std::string refusal(const std::string &text) const {
        try {
            read(text);
        } catch (const job::JobError &e) {
            return e.what();
        }
        return "";
    }

    fs::path dir;
};

std::string stations(const job::Job &j) {
    std::string out;
    for (const job::Station &s : j.turret) {
        out += std::to_string(s.tool) + "@" + std::to_string(s.station) + (s.laser ? "L" : "") + " ";
    }
    return out;
}

TEST_F(MachineFileTest, TheJobsMachineKeysWinOneByOne) {
    job::Job j = read(R"({"machine_file": "machines/shop.json",
                          "machine": {"program_number": 12, "clamps": [400], "units": "inch"}})");
    EXPECT_EQ(j.machine.post_processor, 7001);        // the file's
    EXPECT_EQ(j.machine.program_number, 12);          // the job's
    EXPECT_TRUE(j.machine.inch);                      // the job's, the file leaves it out
    EXPECT_EQ(j.machine.clamps, std::vector<double>{400});  // a list is one value: replaced whole
    EXPECT_DOUBLE_EQ(j.machine.load_x, 1500);
    EXPECT_EQ(j.machine.machine_dir, (dir / "machines" / "laser").string());  // from the machine file's folder
    EXPECT_EQ(j.machine_source.file, (dir / "machines" / "shop.json").string());
    EXPECT_EQ(j.machine_source.notes, (std::vector<std::string>{
                                          "/machine/program_number: given by the job as well; the job's value is used",
                                          "/machine/clamps: given by the job as well; the job's value is used"}));

    // The job's machine_dir is the job's, taken from the job's folder; with
    // none in either place, it is the job's folder.
    EXPECT_EQ(read(R"({"machine": {"machine_dir": "m"}, "machine_file": "machines/shop.json"})").machine.machine_dir,
              (dir / "m").string());
    write("machines/plain.json", R"({"machine": {"post_processor": 7002}})");
    EXPECT_EQ(read(R"({"machine_file": "machines/plain.json"})").machine.machine_dir, dir.string());
}

// The turret is joined station by station: a station of the job takes the
// place of the file's of the same number, of the same tool, and of the
// file's laser head when it is one.
TEST_F(MachineFileTest, TheJobsStationsTakeThePlaceOfTheFilesStations) {
    struct Case {
        const char *turret;
        const char *stations;
        std::size_t notes;
    };
    const Case cases[] = {
        {"[]", "11@1 12@3 13@5 90@20L ", 0},
        {R"([{"tool": 14, "station": 7}])", "11@1 12@3 13@5 90@20L 14@7 ", 0},
        {R"([{"tool": 55, "station": 3}])", "11@1 13@5 90@20L 55@3 ", 1},        // same station
        {R"([{"tool": 12, "station": 9}])", "11@1 13@5 90@20L 12@9 ", 1},        // same tool, moved
        {R"([{"tool": 12, "station": 5}])", "11@1 90@20L 12@5 ", 2},             // both
        {R"([{"tool": 91, "station": 21, "laser": true}])", "11@1 12@3 13@5 91@21L ", 1},  // the laser head
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.turret);
        job::Job j = read(std::string(R"({"machine_file": "machines/shop.json", "turret": )") + c.turret + "}");
        EXPECT_EQ(stations(j), c.stations);
        EXPECT_EQ(j.machine_source.notes.size(), c.notes);
    }
    job::Job j = read(R"({"laser_technologies": [{"number": 2, "feedrate": 40}, {"number": 7}],
                          "machine_file": "machines/shop.json"})");
    ASSERT_EQ(j.technologies.size(), 3u);
    EXPECT_EQ(j.technologies[0].number, 1);
    EXPECT_DOUBLE_EQ(j.technologies[1].feedrate, 40);
    EXPECT_EQ(j.machine_source.notes,
              std::vector<std::string>{"/laser_technologies/1 (number 2): the job's /laser_technologies/0 takes its place"});
}

// The parts of a job may stand in any order: the work is checked against the
// turret that is complete at the end, and a turret of the job given after
// work that punched with a station it takes away is refused at that work.
TEST_F(MachineFileTest, TheWorkIsCheckedAgainstTheJoinedTurretInAnyOrder) {
    const std::string hit11 = R"({"hit": {"x": 1, "y": 2, "tool": 11}})";
    const std::string hit55 = R"({"hit": {"x": 1, "y": 2, "tool": 55}})";
    const std::string contour2 = R"({"laser_contour": {"technology": 2, "elements": [{"line": {"from": [0, 0], "to": [5, 0]}}]}})";
    const std::string key = R"("machine_file": "machines/shop.json")";
    const std::string own = R"("turret": [{"tool": 55, "station": 1}])";
    struct Case {
        std::string job;
        const char *refusal;
    };
    const Case cases[] = {
        {"{" + key + ", \"work\": [" + hit11 + ", " + contour2 + "]}", ""},
        {"{\"work\": [" + hit11 + ", " + contour2 + "], " + key + "}", ""},
        {"{" + own + ", \"work\": [" + hit55 + ", {\"hit\": {\"x\": 1, \"y\": 2, \"tool\": 12}}], " + key + "}", ""},
        {R"({"laser_technologies": [{"number": 9}], "work": [)" + contour2 + "], " + key + "}", ""},
        {"{" + key + ", " + own + ", \"work\": [" + hit11 + "]}", "/work/0/hit/tool: tool 11 is not in the turret"},
        {"{" + own + ", \"work\": [" + hit11 + "], " + key + "}", "/work/0/hit/tool: tool 11 is not in the turret"},
        {"{" + key + ", \"work\": [" + hit11 + "], " + own + "}",
         "/work/0: tool 11 is no longer a punch of the turret: the job's turret, given after this step, takes the "
         "place of its station in the machine file"},
        {"{" + key + R"(, "patterns": [{"number": 1, "body": [)" + hit11 + "]}], " + own + "}",
         "/patterns/0/body/0: tool 11 is no longer a punch of the turret"},
        {"{" + key + ", \"work\": [" + hit11 + "], \"turret\": [{\"tool\": 11, \"station\": 2}]}", ""},
        {"{\"work\": [" + hit55 + "], " + key + "}", "/work/0/hit/tool: tool 55 is not in the turret"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.job);
        const std::string got = refusal(c.job);
        if (*c.refusal == '\0') EXPECT_EQ(got, "");
        else EXPECT_EQ(got.rfind(c.refusal, 0), 0u) << got;
    }
}

// A fault in the machine file is refused with the path of the job's key,
// the machine file's name, and the place in it.
TEST_F(MachineFileTest, FaultsNameTheMachineFileAndThePlace) {
    const std::string shop = (dir / "machines" / "bad.json").string();
    struct Case {
        const char *text;
        std::string message;
    };
    const Case cases[] = {
        {"{\"machine\": {\"units\": \"mm\",\n  \"code\": iso}}", shop + ": line 2, column 11: syntax error"},
        {R"({"machine": {"post_processor": 7009}})", shop + ": /machine/post_processor: unknown machine variant 7009"},
        {R"({"machine": {"units": "mm", "units": "inch"}})", shop + ": /machine/units: key \"units\" given twice"},
        {R"({"turret": [{"tool": 1, "station": 65}]})", shop + ": /turret/0/station: "},
        {R"({"turret": [{"tool": 1}]})", shop + ": /turret/0: "},
        {R"({"laser_technologies": [{"number": 1}, {"number": 1}]})", shop + ": /laser_technologies/1/number: "},
        {R"({"sheet": {}})", shop + ": /sheet: unknown key \"sheet\""},
        {R"({"machine_file": "other.json"})", shop + ": /machine_file: unknown key"},
        {R"({"work": []})", shop + ": /work: unknown key"},
        {"[]", shop + ": /: expected an object, found an array"},
        {R"({"$schema": 1})", shop + ": /$schema: expected a text"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        write("machines/bad.json", c.text);
        const std::string got = refusal(R"({"machine_file": "machines/bad.json"})");
        EXPECT_EQ(got.rfind("/machine_file: " + c.message, 0), 0u) << got;
    }
    EXPECT_EQ(refusal(R"({"machine_file": "machines/none.json"})"),
              "/machine_file: cannot open the machine file " + (dir / "machines" / "none.json").string() +
                  ": No such file or directory");
    EXPECT_EQ(refusal(R"({"machine_file": ""})"), "/machine_file: the machine file must not be empty");
}

// A machine file named on the command line is read once, before the job,
// and takes the place of the one the job names.
TEST_F(MachineFileTest, TheCommandLinesMachineFileComesFirst) {
    const job::MachineFile shop = job::read_machine_file((dir / "machines" / "shop.json").string());
    write("machines/other.json", R"({"machine": {"post_processor": 7002}})");
    job::Job j = job::parse_job(R"({"machine_file": "machines/other.json", "work": [{"hit": {"x": 1, "y": 2, "tool": 13}}]})",
                                dir.string(), &shop);
    EXPECT_EQ(j.machine.post_processor, 7001);
    EXPECT_EQ(j.machine_source.notes, std::vector<std::string>{
                                          "/machine_file \"machines/other.json\": not read, the command line names the machine file"});
    // The job gives nothing of its own: the machine file is the machine.
    job::Job bare = job::parse_job(R"({"work": [{"hit": {"x": 1, "y": 2, "tool": 12}}]})", dir.string(), &shop);
    EXPECT_EQ(stations(bare), "11@1 12@3 13@5 90@20L ");
    EXPECT_TRUE(bare.machine_source.notes.empty());
}

}  // namespace
