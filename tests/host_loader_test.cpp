// Loading the module: clear one-line errors for what cannot be loaded.
#include <gtest/gtest.h>

#include <string>

#include "host/host.h"

TEST(HostLoader, MissingFileIsAOneLineError) {
    std::string error;
    EXPECT_FALSE(host::load_module("/nonexistent/dir/pelk1.so", error));
    EXPECT_EQ(error.rfind("cannot load module /nonexistent/dir/pelk1.so: ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST(HostLoader, ALibraryWithoutTheExportIsRefused) {
    std::string error;
    EXPECT_FALSE(host::load_module("libm.so.6", error));
    EXPECT_EQ(error, "libm.so.6 has no post_dll_set_pp_vars");
}

TEST(HostLoader, DefaultPathIsBesideTheExecutable) {
    const std::string path = host::default_module_path();
    ASSERT_GE(path.size(), 9u);
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.size() - 9), "/pelk1.so");
}
