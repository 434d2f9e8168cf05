#include "sheet/free_nc_text.h"

namespace pelk {

namespace {

bool is_control(unsigned char c) { return c < 0x20 || c == 0x7f; }

}  // namespace

void free_text_as_one_block(const char *field, size_t field_size, char *out, size_t out_size) {
    if (out_size == 0) return;
    size_t length = 0;
    bool line_opened = false;  // a character other than a blank or '%' stands before
    for (size_t i = 0; i + 1 < field_size && field[i] != '\0' && length + 1 < out_size; ++i) {
        const unsigned char c = static_cast<unsigned char>(field[i]);
        if (c == '%' && !line_opened) continue;
        const char written = is_control(c) ? ' ' : static_cast<char>(c);
        if (written != ' ') line_opened = true;
        out[length++] = written;
    }
    out[length] = '\0';
}

}  // namespace pelk
