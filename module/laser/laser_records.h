// laser_records.h - the fields of the host's contour and laser technology
// records that the laser hooks read.  The records are packed host bytes, so
// every field is copied out, never read through a cast pointer.
#pragma once

namespace pelk {

// Contour record (parameter co of the contour hooks).
bool contour_comp_on(const char *co);     // cut with compensation
int contour_comp_code_a(const char *co);  // first compensation code, 0..3
int contour_comp_code_b(const char *co);  // second compensation code, 0..3
int contour_off_type(const char *co);     // laser-off type, 0 while the contour goes on
int contour_on_type(const char *co);      // laser-on type, 0..7
int contour_tech_number(const char *co);  // laser technology number

// Current laser technology record (behind c_nc_laser_tt1).  With no record
// the host has given no technology: every field then reads as empty (0).
double tech_feedrate();
int tech_mode();
int tech_m7x();
int tech_s_value();

}  // namespace pelk
