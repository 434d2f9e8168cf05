// module_path.h - where pelk-post finds the post-processor module.
#pragma once

#include <string>

namespace cli {

// The environment variable that names the module when --module does not.
constexpr const char *MODULE_VARIABLE = "PELK_MODULE";

// The module to load: the one named with --module (given), else the one
// named by $PELK_MODULE when set and not empty, else pelk1.so beside the
// executable (a build tree), else the installed one, found from the
// executable's folder (bin/ -> lib/pelk/).  When none exists, the path
// beside the executable, so that the error names a place to put it.
std::string find_module(const std::string &given);

}  // namespace cli
