#include "tests/support/host_fixture.h"

void HostTest::SetUp() {
    install_module();
    start_new_program();
}

void HostTest::install_module() {
    static bool loaded = false;
    if (!loaded) {
        std::string error;
        ASSERT_TRUE(host::load_module(PELK_MODULE_PATH, error)) << error;
        loaded = true;
    }
}

void HostTest::start_new_program() {
    const job::Job empty;
    host::MemoryWriter refusing;
    refusing.refuse_from(1);
    host::set_message_stream(nullptr);
    host::run_program(empty, refusing);
    host::reset_host();
    host::set_message_stream(nullptr);
    host::set_writer(&writer);
}

void HostTest::TearDown() { host::reset_host(); }

std::string HostTest::output() const { return writer.text() + c_nc_buff; }

std::string crlf(const std::string &text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}
