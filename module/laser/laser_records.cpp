#include "laser/laser_records.h"

#include <string.h>

#include "interface/host_api.h"
#include "interface/host_records.h"
#include "plugin/nc_text.h"

namespace pelk {

static unsigned comp_byte(const char *co) {
    return static_cast<unsigned char>(co[CO_COMP_BYTE_AT]);
}

bool contour_comp_on(const char *co) { return (comp_byte(co) & 1u) != 0; }
int contour_comp_code_a(const char *co) { return static_cast<int>((comp_byte(co) >> 1) & 3u); }
int contour_comp_code_b(const char *co) { return static_cast<int>((comp_byte(co) >> 3) & 3u); }
int contour_off_type(const char *co) { return static_cast<int>((comp_byte(co) >> 5) & 7u); }

int contour_on_type(const char *co) {
    return static_cast<int>(static_cast<unsigned char>(co[CO_ON_TYPE_BYTE_AT]) & 7u);
}

int contour_tech_number(const char *co) { return record_int(co, CO_TECH_NUMBER_AT); }

double tech_feedrate() {
    if (c_nc_laser_tt1 == nullptr) return 0.0;
    return record_double(c_nc_laser_tt1, TT_FEEDRATE_AT);
}

// A decimal text field of the technology record, read like atoi.  The field
// is copied into a terminated buffer first, so a field that the host left
// without its zero never makes the reading run on into the next field.
static int tech_text_field(size_t offset, size_t size) {
    if (c_nc_laser_tt1 == nullptr) return 0;
    char text[40];
    const size_t n = size < sizeof text - 1 ? size : sizeof text - 1;
    memcpy(text, c_nc_laser_tt1 + offset, n);
    text[n] = '\0';
    return read_int(text);
}

int tech_mode() { return tech_text_field(TT_MODE_AT, TT_MODE_SIZE); }
int tech_m7x() { return tech_text_field(TT_M7X_AT, TT_M7X_SIZE); }
int tech_s_value() { return tech_text_field(TT_S_VALUE_AT, TT_S_VALUE_SIZE); }

}  // namespace pelk
