// module_loader.cpp - loading the post-processor module and installing its
// hooks.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "host/host_state.h"

namespace host {

bool load_module(const std::string &path, std::string &error) {
    // The handle is kept for the life of the process: the hooks stay in use
    // until it ends.  dlopen of the same path again answers the same handle.
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char *reason = dlerror();
        error.assign("cannot load module ");
        error.append(path);
        error.append(": ");
        error.append(reason != nullptr ? reason : "unknown reason");
        return false;
    }
    using Install = void (*)(void);
    void *symbol = dlsym(handle, "post_dll_set_pp_vars");
    if (symbol == nullptr) {
        error.assign(path);
        error.append(" has no post_dll_set_pp_vars");
        dlclose(handle);
        return false;
    }
    install_module(reinterpret_cast<Install>(symbol));
    return true;
}

void install_module(void (*install)(void)) {
    detail::install_default_hooks();
    install();
    detail::save_loaded_hooks();
}

std::string default_module_path() {
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return "pelk1.so";
    std::string path(exe, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "pelk1.so";
    path.resize(slash + 1);  // keeps the separator, so "/" stays the root
    path.append("pelk1.so");
    return path;
}

}  // namespace host
