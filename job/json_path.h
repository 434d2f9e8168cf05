// json_path.h - the place of a value in a job file, such as /work/3/hit/x,
// for the messages that refuse it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace job {

// The JSON path of a value, such as /work/3/hit/x, kept as its segments:
// copying one costs no allocation, and the text is only made for a message.
// Keys are not copied: a key must outlive the path (a literal, or a key of
// the parsed value).  Paths deeper than the job file goes are cut with
// "/...".
class JsonPath {
public:
    JsonPath() = default;
    JsonPath key(std::string_view name) const;
    JsonPath index(std::size_t position) const;
    std::string text() const;  // "/" for the whole file

private:
    struct Segment {
        const char *key = nullptr;  // none: an array position
        std::size_t value = 0;      // key length, or the array position
    };
    static constexpr std::size_t MAX_DEPTH = 14;
    JsonPath with(Segment segment) const;

    std::array<Segment, MAX_DEPTH> segments_{};
    std::size_t depth_ = 0;
    bool cut_ = false;  // deeper segments were left out
};

}  // namespace job
