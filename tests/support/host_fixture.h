// host_fixture.h - hook-level tests run the real module inside the stand-in
// host: the module is loaded once, and every test starts from a fresh host
// state with an in-memory writer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/host.h"
#include "plugin/host_api.h"

class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Everything flushed so far followed by what still stands in c_nc_buff.
    std::string output() const;

    host::MemoryWriter writer;
};

// Line ends are "\r\n" on the control; tests write "\n" and let this helper
// turn each into "\r\n".
std::string crlf(const std::string &text);
