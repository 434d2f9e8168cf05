// number_text.cpp - trimming of number texts in place: "12.50" -> "12.5",
// "12.00" -> "12." -> "12"; a value that rounds to zero never keeps a minus.
// Each helper measures the text once and then looks only at its end.
#include <cstring>

#include "interface/host_api.h"

namespace {

bool is_number_char(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// Start of the number that ends the text (digits and a point), or length
// when the text does not end with one.
std::size_t trailing_number_start(const char *text, std::size_t length) {
    std::size_t start = length;
    while (start > 0 && is_number_char(text[start - 1])) --start;
    return start;
}

// "-0", "-0.", "-0.0" at the end of the text (of length characters, its
// trailing number starting at start) lose their minus sign.
void drop_minus_of_zero(char *text, std::size_t length, std::size_t start) {
    if (start == 0 || start == length || text[start - 1] != '-') return;
    bool digit_seen = false;
    for (std::size_t i = start; i < length; ++i) {
        if (text[i] == '.') continue;
        if (text[i] != '0') return;
        digit_seen = true;
    }
    if (!digit_seen) return;
    std::memmove(text + start - 1, text + start, length - start + 1);
}

}  // namespace

extern "C" void remove_zeros(char *text) {
    if (text == nullptr) return;
    std::size_t length = std::strlen(text);
    const std::size_t start = trailing_number_start(text, length);
    if (std::memchr(text + start, '.', length - start) != nullptr) {
        while (length > start && text[length - 1] == '0') text[--length] = '\0';
    }
    drop_minus_of_zero(text, length, start);
}

extern "C" void remove_trailing_point(char *text) {
    if (text == nullptr) return;
    std::size_t length = std::strlen(text);
    if (length > 0 && text[length - 1] == '.') text[--length] = '\0';
    drop_minus_of_zero(text, length, trailing_number_start(text, length));
}
