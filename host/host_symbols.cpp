// host_symbols.cpp - the host's C variables and the hook table, as the
// module finds them when it is loaded.
#include <type_traits>

#include "interface/hook_list.h"
#include "host/host_state.h"
#include "interface/host_api.h"

namespace {

// A hook the module leaves unset does nothing: it answers 0 (a null text
// pointer for a text result) so that the host can always call through the
// table.  pp_d_o_u, whose callers use its result, answers its buffer.
template <typename Hook>
struct DefaultHook;

template <typename R, typename... Args>
struct DefaultHook<R (*)(Args...)> {
    static R call(Args...) {
        if constexpr (!std::is_void_v<R>) return R{};
    }
};

template <>
struct DefaultHook<char *(*)(double, char *)> {
    static char *call(double, char *text) { return text; }
};

}  // namespace

extern "C" {

// ---- NC line buffer and program counters ------------------------------
char c_nc_buff[PELK_NC_BUFF_MIN_SIZE];
int c_nc_block;
int c_line_number_inc;
int c_nc_m;
int c_nc_g;

// ---- Machine configuration --------------------------------------------
int c_post_processor;
int c_mch_units;
int c_nc_EIA;
int c_nc_use_program_number;
int c_program_number;
int c_nc_rewind_flag;
int c_loader_unloader;
int c_pelk_repos_type;
int c_laser_allowed;
int c_sim_draw_type;
int c_nc_sub_type;
int c_nc_max_subs;
int c_clamps;
double c_max_feedrate;
double c_initial_feedrate;
double c_load_pos_x;
double c_load_pos_y;

// ---- Sheet ----------------------------------------------------------------
char c_material[job::MAX_MATERIAL_LENGTH + 1];
char c_nes_name[job::MAX_NEST_NAME_LENGTH + 1];
double c_thickness;
double c_sheet_x;
double c_sheet_y;
int c_done_repos_flag;
double current_repos_x;
double c_repos_y;

// ---- Modal NC state -------------------------------------------------------
double c_nc_x;
double c_nc_y;
double c_nc_abs_sub_x;
double c_nc_abs_sub_y;
double c_nc_tool_a;
int c_nc_tool;
int c_nc_absolute;
int c_nc_in_sub;
int c_last_form_flag;
int c_nc_laser_on;
int c_nc_laser_head_down;
int c_nc_laser_off_comp;

// ---- Tables and records -----------------------------------------------------
unsigned char c_tool_stations[STATION_RECORD_FIRST + STATION_RECORD_SIZE * job::MAX_STATIONS];
int aaa_ps1[16];
char *c_nc_laser_tt1;
char sl[16];
char ol1[16];

// ---- Hook table: host defaults until a module installs its handlers -------
#define HOST_DEFINE_HOOK(name) decltype(name) name = &DefaultHook<decltype(name)>::call;
HOST_HOOKS(HOST_DEFINE_HOOK)
#undef HOST_DEFINE_HOOK

}  // extern "C"

namespace host::detail {

namespace {

// The table as the module left it after post_dll_set_pp_vars.
struct HookTable {
#define HOST_HOOK_FIELD(name) decltype(::name) name = &DefaultHook<decltype(::name)>::call;
    HOST_HOOKS(HOST_HOOK_FIELD)
#undef HOST_HOOK_FIELD
};

HookTable &loaded_hooks() {
    static HookTable table;
    return table;
}

}  // namespace

void install_default_hooks() {
#define HOST_DEFAULT_HOOK(name) ::name = &DefaultHook<decltype(::name)>::call;
    HOST_HOOKS(HOST_DEFAULT_HOOK)
#undef HOST_DEFAULT_HOOK
}

void save_loaded_hooks() {
#define HOST_SAVE_HOOK(name) loaded_hooks().name = ::name;
    HOST_HOOKS(HOST_SAVE_HOOK)
#undef HOST_SAVE_HOOK
}

void restore_loaded_hooks() {
#define HOST_RESTORE_HOOK(name) ::name = loaded_hooks().name;
    HOST_HOOKS(HOST_RESTORE_HOOK)
#undef HOST_RESTORE_HOOK
}

}  // namespace host::detail
