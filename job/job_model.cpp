// job_model.cpp - building a job's work by hand (tests, benchmarks, tools).
#include "job/job.h"

#include <utility>

namespace job {

void Job::add_laser_contour(std::span<const LaserElement> elements) {
    LaserContour contour;
    contour.first = laser_elements.size();
    contour.count = elements.size();
    laser_elements.insert(laser_elements.end(), elements.begin(), elements.end());
    work.push_back(contour);
}

void Job::add_nc_text(std::string text) {
    nc_texts.push_back(std::move(text));
    work.push_back(SheetNcText{nc_texts.size() - 1});
}

}  // namespace job
