// module_path.cpp - the module named on the command line, by the environment,
// or found beside or below the executable.
#include "cli/module_path.h"

#include <cstdlib>
#include <filesystem>

#include "host/host.h"

#ifndef PELK_MODULE_FROM_BIN
#define PELK_MODULE_FROM_BIN "../lib/pelk"  // the installed module, seen from the executable's folder
#endif

namespace cli {

std::string find_module(const std::string &given) {
    if (!given.empty()) return given;
    const char *named = std::getenv(MODULE_VARIABLE);
    if (named != nullptr && *named != '\0') return named;

    const std::string beside = host::default_module_path();
    std::error_code ec;
    if (std::filesystem::exists(beside, ec)) return beside;
    const std::filesystem::path p(beside);
    const std::filesystem::path installed = p.parent_path() / PELK_MODULE_FROM_BIN / p.filename();
    if (std::filesystem::exists(installed, ec)) return installed.lexically_normal().string();
    return beside;
}

}  // namespace cli
