// module_loader.cpp - loading the post-processor module and installing its
// hooks.  The platform's part (dlopen or LoadLibrary) is in module_library.
#include <string>

#include "host/host_state.h"
#include "host/module_library.h"

namespace host {

bool load_module(const std::string &path, std::string &error) {
    // The handle is kept for the life of the process: the hooks stay in use
    // until it ends.  Opening the same path again answers the same handle.
    std::string reason;
    void *handle = module_library::open(path, reason);
    if (handle == nullptr) {
        error.assign("cannot load module ");
        error.append(path);
        error.append(": ");
        error.append(reason);
        return false;
    }
    module_library::Entry install = module_library::find(handle, "post_dll_set_pp_vars");
    if (install == nullptr) {
        error.assign(path);
        error.append(" has no post_dll_set_pp_vars");
        module_library::close(handle);
        return false;
    }
    install_module(install);
    return true;
}

void install_module(void (*install)(void)) {
    detail::install_default_hooks();
    install();
    detail::save_loaded_hooks();
}

std::string default_module_path() {
    return module_library::executable_directory() + module_library::FILE_NAME;
}

}  // namespace host
