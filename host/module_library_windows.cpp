// module_library_windows.cpp - modules are DLLs opened with LoadLibrary.
#include "host/module_library.h"

#include <windows.h>

namespace host::module_library {

const char *const FILE_NAME = "pelk1.dll";

namespace {

// The system's text for an error code, on one line.
std::string system_message(DWORD code) {
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ' ||
                          text[length - 1] == '.')) {
        --length;
    }
    if (length == 0) return "error " + std::to_string(code);
    return std::string(text, length);
}

}  // namespace

void *open(const std::string &path, std::string &reason) {
    HMODULE handle = LoadLibraryA(path.c_str());
    if (handle == nullptr) reason = system_message(GetLastError());
    return reinterpret_cast<void *>(handle);
}

Entry find(void *handle, const char *name) {
    // Entry is void (*)(void), the one function type that takes any other.
    return reinterpret_cast<Entry>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void close(void *handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

std::string executable_directory() {
    char exe[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, exe, sizeof exe);
    if (length == 0 || length >= sizeof exe) return "";
    std::string path(exe, length);
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) return "";
    path.resize(separator + 1);
    return path;
}

}  // namespace host::module_library
