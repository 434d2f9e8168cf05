// The program frame: header, trailer, park and unload forms, and the stop on
// a refused write.
#include <string>
#include <vector>

#include "tests/support/host_fixture.h"

namespace {

class MainProgramTest : public HostTest {
protected:
    MainProgramTest() {
        job.machine.post_processor = 7000;
        job.machine.program_number = 12;
        job.machine.initial_feedrate = 80;
        job.machine.max_feedrate = 100;
        job.machine.load_x = 100;
        job.machine.load_y = 200;
        job.machine.clamps = {300, 900};
        job.sheet.material = "ST37 (3)";
        job.sheet.thickness = 2;
        job.sheet.size_x = 2500;
        job.sheet.size_y = 1250;
        job.sheet.nest_name = "NEST-1";
        job::Movement move;
        move.x = 500;
        move.y = 400;
        job.work.emplace_back(move);
    }

    // Runs pp_main on the job as the host would.
    std::string run() {
        EXPECT_EQ(host::run_program(job, writer), 0);
        return writer.text();
    }

    // Applies the job, lets the test adjust the host, then calls pp_main.
    template <typename Adjust>
    std::string run_with(Adjust adjust) {
        host::apply_job(job);
        adjust();
        EXPECT_EQ(pp_main(), 0);
        return writer.text();
    }

    std::string sheet_comment() const {
        return std::string("(") + cmsg(863) + " - 2 X 2500 Y 1250)\n";
    }
    std::string clamp_comment() const {
        const std::string clamp = cmsg(889);
        return "(" + clamp + " 1 300 " + clamp + " 2 900 )\n";
    }

    job::Job job;
};

TEST_F(MainProgramTest, IsoProgramOfVariant7000) {
    EXPECT_EQ(run(), crlf("% \nO0012\n(NEST-1)\n" + sheet_comment() + clamp_comment() +
                          "X500Y400M03\nX100Y200M03\nM30\n") + "%");
}

TEST_F(MainProgramTest, IsoProgramOfVariant7001) {
    job.machine.post_processor = 7001;
    EXPECT_EQ(run(), crlf("% \nO0012\nMAT/B3 H2 X2500 Y1250\nM610\nM80\n(NEST-1)\n" + sheet_comment() +
                          clamp_comment() + "X500Y400M03\nX100Y200M03\nM30\n") + "%");
}

TEST_F(MainProgramTest, IsoProgramOfVariant7002) {
    job.machine.post_processor = 7002;
    job.machine.initial_feedrate = 20;
    EXPECT_EQ(run(), crlf("% \nO0012\nM83\n(NEST-1)\n" + sheet_comment() + clamp_comment() +
                          "X500Y400M03\nX100Y200M03\nM30\n") + "%");
}

TEST_F(MainProgramTest, EiaProgramsHaveNoHeader) {
    for (int variant : {7000, 7001, 7002}) {
        SCOPED_TRACE(variant);
        job.machine.post_processor = variant;
        job.machine.eia = true;
        host::MemoryWriter out;
        EXPECT_EQ(host::run_program(job, out), 0);
        EXPECT_EQ(out.text(), crlf("+ \nO0012\nX500Y400M03\nX100Y200M03\nM30\n") + "%");
    }
}

TEST_F(MainProgramTest, WithoutProgramNumberOrRewind) {
    job.machine.use_program_number = false;
    job.machine.rewind = false;
    job.machine.clamps.clear();
    job.machine.line_number_increment = 5;
    EXPECT_EQ(run(), crlf("% \n(NEST-1)\n" + sheet_comment() + "()\nX500Y400M03\nX100Y200M03\n") + "%");
}

TEST_F(MainProgramTest, MaterialNumberOfTheMaterialBlock) {
    job.machine.post_processor = 7001;
    job.machine.eia = false;
    struct Case {
        const char *material;
        const char *block;
        bool reported;
    };
    for (const Case &c : {Case{"ALU(12)", "MAT/B12 ", false}, Case{"STEEL", "MAT/B1 ", true},
                          Case{"CU (A)", "MAT/B0 ", false}, Case{"X( -4", "MAT/B-4 ", false},
                          Case{"X(99999999999999999999)", "MAT/B2147483647 ", false}}) {
        SCOPED_TRACE(c.material);
        job.sheet.material = c.material;
        host::reset_host();
        host::set_message_stream(nullptr);
        host::MemoryWriter out;
        EXPECT_EQ(host::run_program(job, out), 0);
        ASSERT_GE(out.pieces().size(), 3u);
        EXPECT_EQ(out.pieces()[2].rfind(c.block, 0), 0u) << out.pieces()[2];
        EXPECT_EQ(host::messages().size(), c.reported ? 1u : 0u);
    }
}

TEST_F(MainProgramTest, ParkAndUnloadForms) {
    struct Case {
        int form;
        bool repositioned;
        const char *trailer;
    };
    const std::vector<Case> cases = {
        {0, false, "X100Y200M03\n"},
        {0, true, "X400Y200M03\nFRM/X100\n"},
        {1, false, "X100Y200M05\nY225M40\n"},
        {1, true, "X400Y200M05\nFRM/X100\nX100Y225M40\n"},
        {2, false, "X100Y0M05\nY25M40\n"},
        {2, true, "X400Y0M05\nFRM/X100\nX100Y25M40\n"},
    };
    job.work.clear();
    job.machine.rewind = false;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "form " << c.form << " repositioned " << c.repositioned);
        job.machine.loader_unloader = c.form;
        host::MemoryWriter out;
        host::set_writer(&out);
        host::apply_job(job);
        c_done_repos_flag = c.repositioned ? 1 : 0;
        current_repos_x = 300;
        ASSERT_EQ(pp_main(), 0);
        const std::string &text = out.text();
        const std::string tail = crlf(c.trailer) + "%";
        ASSERT_GE(text.size(), tail.size());
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    }
}

TEST_F(MainProgramTest, LaserWorkBracketsTheBodyWithM20) {
    job.machine.laser_allowed = 2;
    EXPECT_EQ(run(), crlf("% \nO0012\n(NEST-1)\n" + sheet_comment() + clamp_comment() +
                          "M20\nX500Y400M03\nM20\nX100Y200M03\nM30\n") + "%");
}

// The index goes back to 0 in the trailer when the body left it turned; an
// angle within 1e-6 of 0 counts as 0.
TEST_F(MainProgramTest, IndexBackToZeroInTheTrailer) {
    static double body_angle;
    struct BodyHook {
        static void movement(double x, double y) {
            c_nc_x = x;
            c_nc_y = y;
            c_nc_tool_a = body_angle;
        }
    };
    auto *installed = pp_movement;
    pp_movement = &BodyHook::movement;
    job.machine.rewind = false;
    for (double angle : {90.0, 1e-6, -1e-6, 9e-7, 0.0}) {
        SCOPED_TRACE(angle);
        body_angle = angle;
        host::MemoryWriter out;
        EXPECT_EQ(host::run_program(job, out), 0);
        const bool turned = angle >= 1e-6 || angle <= -1e-6;
        const std::string tail = crlf(turned ? "X500Y400C0M03\nX100Y200M03\n" : "X100Y200M03\n") + "%";
        EXPECT_EQ(out.text().substr(out.text().size() - tail.size()), tail);
    }
    pp_movement = installed;
}

// A writer that refuses from the n-th flush on: the program is exactly the
// first n-1 pieces of the full run, and pp_main answers 1.
TEST_F(MainProgramTest, StopsAtTheFirstRefusedWrite) {
    for (int variant : {7000, 7001}) {
        job.machine.post_processor = variant;
        job.machine.laser_allowed = 2;
        job.machine.loader_unloader = 1;
        host::MemoryWriter full;
        ASSERT_EQ(host::run_program(job, full), 0);
        const int flushes = static_cast<int>(full.pieces().size());
        for (int n = 1; n <= flushes + 1; ++n) {
            SCOPED_TRACE(testing::Message() << "variant " << variant << " refusing from flush " << n);
            host::MemoryWriter out;
            out.refuse_from(n);
            EXPECT_EQ(host::run_program(job, out), n <= flushes ? 1 : 0);
            std::vector<std::string> expected(full.pieces().begin(),
                                              full.pieces().begin() + std::min(n - 1, flushes));
            EXPECT_EQ(out.pieces(), expected);
        }
    }
}

}  // namespace
