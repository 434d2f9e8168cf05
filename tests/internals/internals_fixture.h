// internals_fixture.h - white-box tests: the module's sources are linked
// straight into this test program, so that its internal routines and its
// state can be called and set directly.  The host is the stand-in host, as
// for the hook-level tests.
#pragma once

#include "plugin/plugin_state.h"
#include "tests/support/host_fixture.h"

extern "C" void post_dll_set_pp_vars(void);

class InternalsTest : public HostTest {
protected:
    void install_module() override { host::install_module(&post_dll_set_pp_vars); }
};
