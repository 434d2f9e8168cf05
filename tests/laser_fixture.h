// laser_fixture.h - common ground of the laser hook tests: a program start
// that puts the module's laser state back to unknown, laser technologies in
// the host, and contour records built by hand.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "interface/host_records.h"
#include "tests/support/host_fixture.h"

struct ContourRecord {
    char bytes[CO_RECORD_SIZE] = {};

    // comp_on, the two compensation codes and the laser-off type share one
    // byte; the laser-on type and the technology number follow.
    ContourRecord(int off_type = 0, int on_type = 1, int tech = 1) {
        set_off_type(off_type);
        bytes[CO_ON_TYPE_BYTE_AT] = static_cast<char>(on_type & 7);
        const std::int32_t t = tech;
        std::memcpy(bytes + CO_TECH_NUMBER_AT, &t, sizeof t);
    }
    ContourRecord &set_off_type(int off_type) {
        unsigned b = static_cast<unsigned char>(bytes[CO_COMP_BYTE_AT]);
        b = (b & 0x1fu) | ((static_cast<unsigned>(off_type) & 7u) << 5);
        bytes[CO_COMP_BYTE_AT] = static_cast<char>(b);
        return *this;
    }
    ContourRecord &set_comp(int on, int code_a, int code_b) {
        unsigned b = static_cast<unsigned char>(bytes[CO_COMP_BYTE_AT]) & 0xe0u;
        b |= static_cast<unsigned>(on & 1) | (static_cast<unsigned>(code_a & 3) << 1) |
             (static_cast<unsigned>(code_b & 3) << 3);
        bytes[CO_COMP_BYTE_AT] = static_cast<char>(b);
        return *this;
    }
    char *co() { return bytes; }
};

class LaserTest : public HostTest {
protected:
    LaserTest() {
        add_technology(1, 2.5, "1", "2", "450");  // F250, M72, M27S450
        job.machine.load_x = 0;
        job.machine.load_y = 0;
        job.sheet.material = "ST37";
        job.sheet.thickness = 2;
    }

    // A machine directory whose LASER.PAR has a section for the sheet: the
    // first laser element of a program writes its two lines.
    void with_laser_par() {
        // One directory per test: ctest runs tests side by side, and one
        // test rewriting the file that another reads would cut it short.
        const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string dir = testing::TempDir() + "pelk_laser_machine_" + test->test_suite_name() + "_" +
                                test->name();
        std::filesystem::create_directories(dir);
        std::FILE *f = std::fopen((dir + "/LASER.PAR").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("@ST,2\r\nPAR1\r\nPAR2\r\n@AL,2\r\nOTHER\r\n", f);
        std::fclose(f);
        job.machine.machine_dir = dir;
    }

    void add_technology(int number, double feed, const char *mode, const char *m7x,
                        const char *s_value) {
        job::LaserTechnology t;
        t.number = number;
        t.feedrate = feed;
        t.mode = mode;
        t.m7x = m7x;
        t.s_value = s_value;
        job.technologies.push_back(t);
    }

    // A new program: pp_main leaves the laser modes, the junction word and
    // the held block unknown or empty.  Its own text goes to a scratch writer.
    void start_program() {
        host::MemoryWriter scratch;
        ASSERT_EQ(host::run_program(job, scratch), 0);
        host::reset_host();
        host::set_message_stream(nullptr);
        host::apply_job(job);
        host::set_writer(&writer);
        c_nc_buff[0] = '\0';
        c_nc_x = 0;
        c_nc_y = 0;
    }

    // What the writer took since the last call, plus what stands in the
    // buffer; the buffer is emptied (taken) as well.
    std::string take_output() {
        const std::string flushed = writer.text();
        std::string fresh = flushed.substr(seen_ < flushed.size() ? seen_ : flushed.size());
        fresh += c_nc_buff;
        c_nc_buff[0] = '\0';
        seen_ = flushed.size();
        return fresh;
    }

    job::Job job;

private:
    std::size_t seen_ = 0;
};
