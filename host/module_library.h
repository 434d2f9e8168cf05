// module_library.h - what loading a module takes from the platform: opening
// the module file, finding its export and the directory of the running
// executable.  One implementation per platform (module_library_posix.cpp,
// module_library_windows.cpp); the build picks the one it needs.
#pragma once

#include <string>

namespace host::module_library {

// A module's export as the host calls it: no arguments, no result.
using Entry = void (*)(void);

// The module's file name as the build makes it ("pelk1.so", "pelk1.dll").
extern const char *const FILE_NAME;

// Opens the module file; nullptr on failure, with the system's reason (one
// line) in reason.  Opening the same file again answers the same handle.
void *open(const std::string &path, std::string &reason);

// The export called name, or nullptr when the module has none.
Entry find(void *handle, const char *name);

// Gives up a handle that open answered.
void close(void *handle);

// The directory of the running executable, ending in its separator; empty
// when the system cannot tell.
std::string executable_directory();

}  // namespace host::module_library
