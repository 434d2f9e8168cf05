#include "plugin/nc_text.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "interface/host_api.h"
#include "plugin/number_format.h"
#include "plugin/plugin_state.h"

namespace pelk {

// The buffer is the host's: between two hooks the host may have emptied it,
// handed it on, or written a text of its own into it.  So its text is
// measured afresh at every use, never taken from what the module last left
// there, and never beyond the longest text it can hold.
size_t nc_length() { return strnlen(c_nc_buff, NC_TEXT_MAX); }

// The buffer's text now ends at length.
static void set_length(size_t length) { c_nc_buff[length] = '\0'; }

// Hands the pending text to the host's writer to make room.  False when the
// host left text in the buffer all the same (no room can be made).
static bool flush_for_room() {
    (void)flush_nc_buffer();  // a refusal is remembered by the writer
    return nc_length() == 0;
}

void nc_make_room(size_t length) {
    const size_t used = nc_length();
    if (used > 0 && length > NC_TEXT_MAX - used) (void)flush_for_room();
}

void nc_append_n(const char *text, size_t length) {
    size_t used = nc_length();
    if (used > 0 && length > NC_TEXT_MAX - used) {
        if (!flush_for_room()) return;
        used = 0;
    }
    // A text longer than the whole buffer (none of the module's own blocks
    // comes near it) goes to the writer in pieces.
    while (length > NC_TEXT_MAX - used) {
        memcpy(c_nc_buff, text, NC_TEXT_MAX);
        set_length(NC_TEXT_MAX);
        if (!flush_for_room()) return;
        text += NC_TEXT_MAX;
        length -= NC_TEXT_MAX;
    }
    memcpy(c_nc_buff + used, text, length);
    set_length(used + length);
}

void nc_append(const char *text) { nc_append_n(text, strlen(text)); }

void nc_append_int(const char *prefix, long long value, int width) {
    char number[INT_WORD_WIDTH_MAX + 1];
    if (width > INT_WORD_WIDTH_MAX) width = INT_WORD_WIDTH_MAX;
    const size_t length = format_int(number, sizeof number, value, width);
    nc_append(prefix);
    nc_append_n(number, length);
}

void nc_append_trimmed(const char *prefix, double value, int decimals) {
    char word[WORD_PREFIX_MAX + FIXED_TEXT_MAX + 1];
    size_t prefix_length = strlen(prefix);
    if (prefix_length > WORD_PREFIX_MAX) {
        nc_append_n(prefix, prefix_length);
        prefix_length = 0;
    }
    memcpy(word, prefix, prefix_length);
    format_fixed(word + prefix_length, sizeof word - prefix_length, value, decimals);
    remove_zeros(word);
    remove_trailing_point(word);
    nc_append(word);
}

void nc_appendf(const char *format, ...) {
    char block[BLOCK_TEXT_SIZE];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = vsnprintf(block, sizeof block, format, args);
    va_end(args);
    if (n >= 0 && static_cast<size_t>(n) < sizeof block) {
        nc_append_n(block, static_cast<size_t>(n));
    } else if (n >= 0 && static_cast<size_t>(n) <= NC_TEXT_MAX) {
        // Longer than a block: formatted straight behind the buffer's text.
        nc_make_room(static_cast<size_t>(n));
        const size_t used = nc_length();
        if (static_cast<size_t>(n) <= NC_TEXT_MAX - used) {
            vsnprintf(c_nc_buff + used, NC_TEXT_MAX + 1 - used, format, again);
        }
    }
    va_end(again);
}

void nc_replace(const char *text) {
    set_length(0);
    nc_append(text);
}

void nc_truncate(size_t length) {
    if (length < nc_length()) set_length(length);
}

// True when message holds exactly one conversion and it is %d or %i
// (flags, width and precision allowed); "%%" is a literal percent sign.
static bool takes_one_int(const char *message) {
    int conversions = 0;
    for (const char *p = message; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        p += strspn(p, "-+ #0");
        p += strspn(p, "0123456789");
        if (*p == '.') p += 1 + strspn(p + 1, "0123456789");
        if (*p != 'd' && *p != 'i') return false;
        ++conversions;
    }
    return conversions == 1;
}

void format_host_message(char *out, size_t size, const char *message, int value) {
    if (size == 0) return;
    if (message == nullptr) message = "";
    if (takes_one_int(message)) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        snprintf(out, size, message, value);
#pragma GCC diagnostic pop
    } else {
        snprintf(out, size, "%s", message);
    }
}

const char *message_text(int n) {
    const char *text = cmsg(n);
    return text != nullptr ? text : "";
}

int record_int(const char *record, size_t offset) {
    int value;
    memcpy(&value, record + offset, sizeof value);
    return value;
}

double record_double(const char *record, size_t offset) {
    double value;
    memcpy(&value, record + offset, sizeof value);
    return value;
}

void record_put_int(char *record, size_t offset, int value) {
    memcpy(record + offset, &value, sizeof value);
}

void record_put_double(char *record, size_t offset, double value) {
    memcpy(record + offset, &value, sizeof value);
}

}  // namespace pelk
