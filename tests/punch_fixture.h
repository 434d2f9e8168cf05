// punch_fixture.h - common ground of the punching hook tests: a turret in
// the host and the tool standing nowhere at the origin.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/support/host_fixture.h"

constexpr double DEG = 1.0 / 57.29577951308232;  // radians per degree

template <typename Base>
class PunchFixture : public Base {
protected:
    // The turret of a machine variant, no current station, index at 0, the
    // tool at the origin and forming mode off.
    void use_turret(int variant, std::vector<job::Station> turret) {
        job_.machine.post_processor = variant;
        job_.turret = std::move(turret);
        host::apply_job(job_);
        c_nc_tool = 0;
        c_nc_tool_a = 0.0;
        c_nc_x = 0.0;
        c_nc_y = 0.0;
        c_last_form_flag = 0;
    }

    // A hit at (x, y) with the host tool, answering what it wrote.
    std::string hit(double x, double y, int tool, int indexable = 0, double degrees = 0.0) {
        const std::size_t before = this->output().size();
        EXPECT_EQ(pp_hit(x, y, tool, indexable, degrees * DEG, 0, 0), 0);
        return this->output().substr(before);
    }

    job::Job job_;
};

using PunchTest = PunchFixture<HostTest>;
