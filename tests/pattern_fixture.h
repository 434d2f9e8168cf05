// pattern_fixture.h - common ground of the pattern hook tests: program 10,
// so that the host's pattern 14 is the control's pattern 03; a turret with
// a fixed punch (tool 1, T1), an indexable punch (tool 2, T2) and the laser
// head (tool 9); the tool standing at (5, 6).
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/punch_fixture.h"

constexpr int PROGRAM = 10;
constexpr int PATTERN_03 = PROGRAM + 1 + 3;  // the host's number of PAT03

class PatternTest : public PunchTest {
protected:
    void SetUp() override {
        PunchTest::SetUp();
        use_style(0);
    }

    // A fresh program under the pattern style sub_type (0 positions before a
    // call, 7 places the pattern with an offset block).
    void use_style(int sub_type) {
        start_new_program();
        job_.machine.program_number = PROGRAM;
        job_.machine.pattern_style = sub_type;
        job_.machine.max_patterns = 99;
        job_.sheet.material = "ST37";
        job_.sheet.thickness = 2;
        use_turret(7000, {{1, 1, ""}, {2, 2, "", true}, {9, 9, "", false, true}});
        c_nc_x = 5;
        c_nc_y = 6;
    }

    // A machine directory whose LASER.PAR has a section of two lines for the
    // sheet: the first laser enable of a program writes them, one flush each.
    void with_laser_par() {
        // A folder of each test's own: tests run side by side.
        const std::string dir = testing::TempDir() + "pelk_pattern_machine_" +
                                testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(dir);
        std::FILE *f = std::fopen((dir + "/LASER.PAR").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("@ST,2\r\nPAR1\r\nPAR2\r\n", f);
        std::fclose(f);
        job_.machine.machine_dir = dir;
        host::apply_job(job_);
    }

    // A repeated call of tool 1 at the origin: afterwards an offset is in
    // force and T1 is the current station.  Its text goes to a scratch writer.
    void leave_offset_in_force() {
        host::MemoryWriter scratch;
        host::set_writer(&scratch);
        c_nc_tool = 1;
        ASSERT_EQ(pp_sub_rep_call(1, 0, 0, 0, 0, PATTERN_03, 10, 0, 2), 0);
        host::set_writer(&writer);
        c_nc_x = 5;
        c_nc_y = 6;
    }

    // True when the next punching operation of the main body cancels an
    // offset ("OFS/X0Y0" ahead of its hit).  Writes to a scratch writer.
    bool offset_in_force() {
        host::MemoryWriter scratch;
        host::set_writer(&scratch);
        EXPECT_EQ(pp_hit(500, 500, 1, 0, 0.0, 0, 0), 0);
        host::set_writer(&writer);
        return scratch.text().rfind("OFS/X0Y0\r\n", 0) == 0;
    }

    // What run writes, flushed or left in the line buffer (which is taken
    // too), checking the answer of the hook.
    std::string written_by(const std::function<int()> &run, int answer = 0) {
        host::MemoryWriter out;
        host::set_writer(&out);
        EXPECT_EQ(run(), answer);
        host::set_writer(&writer);
        const std::string text = out.text() + c_nc_buff;
        c_nc_buff[0] = '\0';
        return text;
    }

    // Runs a hook scenario once to the end, then once for every N with a
    // writer that refuses from the N-th flush on: the writer must hold exactly
    // the first N-1 pieces of the full run and the scenario answer 1 (0 once N
    // is past the last flush).  prepare puts host and module into the start
    // state; check (may be empty) looks at the state after each refused run,
    // given the number of pieces that got through.
    void expect_stops_at_every_flush(const std::function<void()> &prepare, const std::function<int()> &run,
                                     const std::function<void(std::size_t)> &check = {}) {
        host::MemoryWriter full;
        prepare();
        host::set_writer(&full);
        ASSERT_EQ(run(), 0);
        const std::vector<std::string> pieces = full.pieces();
        ASSERT_FALSE(pieces.empty());
        for (std::size_t n = 1; n <= pieces.size() + 1; ++n) {
            SCOPED_TRACE(testing::Message() << "refused from flush " << n);
            host::MemoryWriter refusing;
            refusing.refuse_from(static_cast<int>(n));
            prepare();
            host::set_writer(&refusing);
            const int result = run();
            const std::size_t written = n - 1 < pieces.size() ? n - 1 : pieces.size();
            EXPECT_EQ(refusing.pieces(), std::vector<std::string>(pieces.begin(), pieces.begin() + written));
            EXPECT_EQ(result, n <= pieces.size() ? 1 : 0);
            host::set_writer(&writer);
            if (check) check(written);
        }
    }
};

