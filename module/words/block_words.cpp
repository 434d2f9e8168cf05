// The smallest words of a block: its end, the M word, the (empty) G word, and
// the host's parameter word.
#include "plugin/hooks.h"
#include "interface/host_api.h"
#include "plugin/nc_text.h"

namespace pelk {

// The only block terminator of the control.
void pp_eob() { nc_append_n("\r\n", 2); }

// The control takes no G words: nothing is written, G0 only resets the
// host's current G code.
void pp_g(int g) {
    if (g == 0) c_nc_g = 0;
}

// At least two digits: M03, M121, M610.
void pp_m(int m) {
    c_nc_m = m;
    nc_append_int("M", m, 2);
}

// Bits 0..7 become 0x12, bits 8..10 become 3, bits 12..30 are cleared;
// bits 11 and 31 keep their values.
void pp_la_parms(uint32_t *parms) {
    aaa_ps1[2] = 2;
    if (parms == nullptr) return;
    *parms = (*parms & 0x80000800u) | 0x00000312u;
}

}  // namespace pelk
