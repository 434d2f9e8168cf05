// warnings.h - findings told as warnings: one for each step of the job and
// each clamp (or the sheet's outline) it offends, with how many strokes or
// cuts, the deepest reach and where it lies.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "safety/finding.h"

namespace safety {

class Warnings {
public:
    // The job's step that wrote a line ("work[3] (row)"), "" when unknown.
    using StepName = std::function<std::string(long long line)>;

    Warnings(StepName step_name, double sheet_x, double sheet_y);

    void add(const Finding &f);

    // Strokes and cuts found in all.
    long long findings() const { return findings_; }
    // The warnings, at most the first `most` of them in full and a last line
    // that counts the rest.  Call once all findings are in.
    std::vector<std::string> texts(std::size_t most);
    // The deepest or farthest work of each warning told in full, in the
    // same order; after texts().
    std::vector<Finding> worst(std::size_t most) const;

private:
    struct Group {
        std::string step;      // the step (for a copy of a pattern, the call)
        Hazard hazard;
        int clamp;
        long long count = 0;
        Finding worst;         // the deepest reach, the farthest off
    };
    std::string text(const Group &g) const;

    // The groups of the step the findings come from now go to kept_ (or, past
    // the most kept, into the count) when another step's come.
    void close_step();

    StepName step_name_;
    double sheet_x_, sheet_y_;
    std::vector<Group> kept_;       // in full, in the program's order
    std::vector<Group> open_;       // of the step the findings come from now
    long long findings_ = 0;
    long long more_ = 0;            // groups past those kept
};

}  // namespace safety
