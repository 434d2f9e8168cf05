// difference_tally.cpp - differences counted, the first told, repeats grouped.
#include "verify/difference_tally.h"

namespace verify {
namespace {

// Keys kept for grouping: beyond this many kinds of difference, each new
// kind is counted on its own.
constexpr std::size_t MOST_KEYS = 1000;

std::string at_lines(const DifferencePlace &p) {
    std::string text = "line " + std::to_string(p.line);
    if (p.other_line != 0) text += " / line " + std::to_string(p.other_line);
    return text;
}

}  // namespace

void DifferenceTally::tell(const std::string &key, const DifferencePlace &place,
                           const std::function<std::string()> &make) {
    ++count_;
    if (!key.empty()) {
        auto found = repeats_.find(key);
        if (found != repeats_.end()) {
            ++found->second.count;
            found->second.last = place;
            return;
        }
        if (repeats_.size() < MOST_KEYS) {
            Repeats &r = repeats_[key];
            r.last = place;
            if (messages_.size() < most_) {
                r.told = true;
                r.message = messages_.size();
                messages_.push_back(make());
                places_.push_back(place);
            }
            return;
        }
    }
    if (messages_.size() < most_) {
        messages_.push_back(make());
        places_.push_back(place);
    }
}

void DifferenceTally::finish() {
    for (const auto &[key, r] : repeats_) {
        if (!r.told || r.count == 0) continue;
        messages_[r.message] += " (the same difference " + std::to_string(r.count) +
                                (r.count == 1 ? " more time" : " more times") + ", the last at " + at_lines(r.last) + ")";
    }
}

}  // namespace verify
