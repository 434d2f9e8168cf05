#include "plugin/nc_text.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "interface/host_api.h"

namespace pelk {

size_t nc_length() { return strnlen(c_nc_buff, PELK_NC_BUFF_MIN_SIZE - 1); }

void nc_append(const char *text) {
    const size_t used = nc_length();
    const size_t add = strlen(text);
    if (add >= PELK_NC_BUFF_MIN_SIZE - used) return;
    memcpy(c_nc_buff + used, text, add + 1);
}

void nc_appendf(const char *format, ...) {
    char block[BLOCK_TEXT_SIZE];
    va_list args;
    va_start(args, format);
    const int n = vsnprintf(block, sizeof block, format, args);
    va_end(args);
    if (n < 0 || static_cast<size_t>(n) >= sizeof block) return;
    nc_append(block);
}

void nc_replace(const char *text) {
    c_nc_buff[0] = '\0';
    nc_append(text);
}

void nc_truncate(size_t length) {
    if (length < nc_length()) c_nc_buff[length] = '\0';
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

bool format_trimmed(char *out, size_t size, const char *format, ...) {
    if (size == 0) return false;
    va_list args;
    va_start(args, format);
    const int n = vsnprintf(out, size, format, args);
    va_end(args);
    if (n < 0) out[0] = '\0';
    remove_zeros(out);
    remove_trailing_point(out);
    return n >= 0 && static_cast<size_t>(n) < size;
}

int read_int(const char *text, int low, int high) {
    const long value = strtol(text, nullptr, 10);
    if (value < low) return low;
    if (value > high) return high;
    return static_cast<int>(value);
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
