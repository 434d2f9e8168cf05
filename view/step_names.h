// step_names.h - the block map packed for the page: for each run of lines
// that one step of the job wrote, its first line and the step's name
// ("work[12] (row)").  Names are alike but for their numbers, so a name is
// kept as its shape (the text with each number taken out) and its numbers,
// each as a difference from the same number of the run before when the
// shape is the same: a million single hits cost a few bytes each.
// page.js (decodeMap) reads them back.
//
// A run: its first line (difference from the run before), its shape's
// number among the shapes so far (a new shape follows as its length and
// text, numbers marked by the byte 0x01), then its numbers.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace view {

class StepNames {
public:
    void add(long long first_line, const std::string &name);
    const std::string &bytes() const { return bytes_; }
    long long runs() const { return runs_; }

private:
    void number(std::uint64_t v);
    std::string bytes_;
    std::unordered_map<std::string, std::uint64_t> shapes_;
    std::string last_shape_;
    std::vector<std::int64_t> last_numbers_;
    long long last_line_ = 0;
    long long runs_ = 0;
};

}  // namespace view
