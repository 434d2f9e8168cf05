// step_names.cpp - the block map packed.
#include "view/step_names.h"

#include <algorithm>
#include <string>

namespace view {
namespace {

constexpr char NUMBER_MARK = '\x01';
constexpr std::size_t MAX_DIGITS = 15;  // longer digit runs stay text

std::uint64_t zigzag(std::int64_t v) {
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}

bool digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void StepNames::number(std::uint64_t v) {
    while (v >= 0x80) {
        bytes_ += static_cast<char>(static_cast<std::uint8_t>(v & 0x7f) | 0x80);
        v >>= 7;
    }
    bytes_ += static_cast<char>(v);
}

void StepNames::add(long long first_line, const std::string &name) {
    // 1. The shape and the numbers.  A number is a run of digits without a
    // leading zero (so that "07" comes back as it was), not too long.
    std::string shape;
    std::vector<std::int64_t> numbers;
    for (std::size_t i = 0; i < name.size();) {
        std::size_t j = i;
        while (j < name.size() && digit(name[j])) ++j;
        const std::size_t digits = j - i;
        if (digits > 0 && digits <= MAX_DIGITS && (name[i] != '0' || digits == 1)) {
            numbers.push_back(std::stoll(name.substr(i, digits)));
            shape += NUMBER_MARK;
            i = j;
            continue;
        }
        if (digits > 0) {
            shape.append(name, i, digits);
            i = j;
            continue;
        }
        shape += name[i] == NUMBER_MARK ? '?' : name[i];
        ++i;
    }
    // 2. The run.
    number(static_cast<std::uint64_t>(std::max(0LL, first_line - last_line_)));
    last_line_ = first_line;
    const auto found = shapes_.find(shape);
    if (found != shapes_.end()) {
        number(found->second);
    } else {
        const std::uint64_t shape_number = shapes_.size();
        shapes_.emplace(shape, shape_number);
        number(shape_number);
        number(shape.size());
        bytes_ += shape;
    }
    const bool alike = shape == last_shape_;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        number(zigzag(numbers[k] - (alike ? last_numbers_[k] : 0)));
    }
    last_shape_ = std::move(shape);
    last_numbers_ = std::move(numbers);
    ++runs_;
}

}  // namespace view
