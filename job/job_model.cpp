// job_model.cpp - building a job's work by hand (tests, benchmarks, tools).
#include "job/job.h"

namespace job {

void Job::add_laser_contour(std::span<const LaserElement> elements) {
    LaserContour contour;
    contour.first = laser_elements.size();
    contour.count = elements.size();
    laser_elements.insert(laser_elements.end(), elements.begin(), elements.end());
    work.push_back(contour);
}

}  // namespace job
