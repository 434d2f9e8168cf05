// module_library_posix.cpp - modules are shared objects opened with dlopen.
#include "host/module_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace host::module_library {

const char *const FILE_NAME = "pelk1.so";

void *open(const std::string &path, std::string &reason) {
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char *text = dlerror();
        reason.assign(text != nullptr ? text : "unknown reason");
    }
    return handle;
}

Entry find(void *handle, const char *name) {
    return reinterpret_cast<Entry>(dlsym(handle, name));
}

void close(void *handle) { dlclose(handle); }

std::string executable_directory() {
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return "";
    std::string path(exe, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    path.resize(slash + 1);  // keeps the separator, so "/" stays the root
    return path;
}

}  // namespace host::module_library
