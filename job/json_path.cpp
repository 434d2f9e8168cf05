// json_path.cpp - the text of a JSON path.
#include "job/json_path.h"

namespace job {
namespace {

// A key as one segment of a JSON path: '~' and '/' escaped.
std::string path_segment(std::string_view key) {
    std::string out;
    for (char c : key) {
        if (c == '~') out += "~0";
        else if (c == '/') out += "~1";
        else out += c;
    }
    return out;
}

}  // namespace

JsonPath JsonPath::with(Segment segment) const {
    JsonPath out = *this;
    if (depth_ < MAX_DEPTH) out.segments_[out.depth_++] = segment;
    else out.cut_ = true;
    return out;
}

JsonPath JsonPath::key(std::string_view name) const { return with(Segment{name.data(), name.size()}); }

JsonPath JsonPath::index(std::size_t position) const { return with(Segment{nullptr, position}); }

std::string JsonPath::text() const {
    if (depth_ == 0) return "/";
    std::string out;
    for (std::size_t i = 0; i < depth_; ++i) {
        const Segment &s = segments_[i];
        out += '/';
        out += s.key != nullptr ? path_segment(std::string_view(s.key, s.value)) : std::to_string(s.value);
    }
    if (cut_) out += "/...";
    return out;
}

}  // namespace job
