#include "plugin/blocks.h"

#include "interface/host_api.h"
#include "plugin/nc_text.h"
#include "plugin/pattern_offset.h"

namespace pelk {

void write_m_block(int m, Numbering numbering) {
    if (numbering == Numbering::before) gen_nc_n();
    gen_nc_m(m);
    gen_nc_eob();
    if (numbering == Numbering::after) gen_nc_n();
}

void write_text_block(const char *text, Numbering numbering) {
    if (numbering == Numbering::before) gen_nc_n();
    nc_append(text);
    gen_nc_eob();
    if (numbering == Numbering::after) gen_nc_n();
}

Flow flush_m_block(int m) {
    gen_nc_m(m);
    return end_block_flush_and_begin_next();
}

void open_punching_block(HitMode hit) {
    gen_nc_laser_disable();
    gen_nc_ni_off();
    if (hit == HitMode::end) gen_nc_hit_off();
    cancel_pattern_offset();
}

}  // namespace pelk
