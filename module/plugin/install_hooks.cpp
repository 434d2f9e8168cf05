// The module's one export: it stores the handlers into the host's hook
// table, in the order of the table, and touches nothing else.  The list of
// hooks is the interface's own, so a hook without a handler does not build.
#include "interface/hook_list.h"
#include "interface/host_api.h"
#include "plugin/hooks.h"

extern "C" __attribute__((visibility("default"))) void post_dll_set_pp_vars(void) {
#define PELK_INSTALL_HOOK(name) ::name = &pelk::name;
    HOST_HOOKS(PELK_INSTALL_HOOK)
#undef PELK_INSTALL_HOOK
}
