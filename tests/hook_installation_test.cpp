// post_dll_set_pp_vars fills the whole hook table: no host default is left
// standing in for a hook of the module, and a second installation changes
// nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host.h"
#include "interface/hook_list.h"
#include "interface/host_api.h"

namespace {

// A copy of the host's hook table as it stands.
struct HookTable {
#define HOOK_FIELD(name) decltype(::name) name = ::name;
    HOST_HOOKS(HOOK_FIELD)
#undef HOOK_FIELD
};

void load_module() {
    std::string error;
    ASSERT_TRUE(host::load_module(PELK_MODULE_PATH, error)) << error;
}

TEST(HookInstallation, EveryHookOfTheTableIsTheModules) {
    host::install_module(+[] {});  // a module that installs nothing: the host defaults
    const HookTable defaults;
    load_module();
    const HookTable installed;

    std::vector<std::string> left_to_the_host;
#define HOOK_LEFT(name) \
    if (installed.name == defaults.name) left_to_the_host.push_back(#name);
    HOST_HOOKS(HOOK_LEFT)
#undef HOOK_LEFT
    EXPECT_EQ(left_to_the_host, std::vector<std::string>{});
}

TEST(HookInstallation, InstallingTwiceLeavesTheSameHandlers) {
    load_module();
    const HookTable first;
    load_module();
    const HookTable second;
    std::vector<std::string> changed;
#define HOOK_CHANGED(name) \
    if (first.name != second.name) changed.push_back(#name);
    HOST_HOOKS(HOOK_CHANGED)
#undef HOOK_CHANGED
    EXPECT_EQ(changed, std::vector<std::string>{});
}

}  // namespace
