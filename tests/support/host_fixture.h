// host_fixture.h - hook-level tests run the real module inside the stand-in
// host: the module is loaded once, and every test starts from a fresh host
// state with an in-memory writer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/host.h"
#include "interface/host_api.h"

class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts the module's hooks into the host's table: loads pelk1.so.
    virtual void install_module();

    // Everything flushed so far followed by what still stands in c_nc_buff.
    std::string output() const;

    // The module keeps its state as long as it is loaded; only a program
    // start puts it back.  This runs a program whose first write is refused
    // (so it writes nothing), then gives the host a fresh state with writer.
    void start_new_program();

    host::MemoryWriter writer;
};

// Line ends are "\r\n" on the control; tests write "\n" and let this helper
// turn each into "\r\n".
std::string crlf(const std::string &text);
