// job_model.cpp - building a job's work by hand (tests, benchmarks, tools).
#include "job/job.h"

#include <utility>

namespace job {

void Job::add_laser_contour(std::span<const LaserElement> elements) { work.push_back(keep_laser_contour(elements)); }

LaserContour Job::keep_laser_contour(std::span<const LaserElement> elements) {
    LaserContour contour;
    contour.first = laser_elements.size();
    contour.count = elements.size();
    laser_elements.insert(laser_elements.end(), elements.begin(), elements.end());
    return contour;
}

PatternRepeat Job::keep_pattern_row(const PatternRow &row) {
    pattern_rows.push_back(row);
    PatternRepeat repeat;
    repeat.row = pattern_rows.size() - 1;
    return repeat;
}

void Job::add_nc_text(std::string text) {
    nc_texts.push_back(std::move(text));
    work.push_back(SheetNcText{nc_texts.size() - 1});
}

}  // namespace job
