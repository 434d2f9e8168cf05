#include "cli/child_process.h"

#include <windows.h>
#include <io.h>

#include <cstdio>

#include <fstream>
#include <sstream>

#include "cli/interrupts.h"

namespace cli {

namespace {

// One argument as the C runtime of the child splits its command line back:
// quoted, with the backslashes before a quote doubled.
std::string quoted_argument(const std::string &arg) {
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string last_error_text() {
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text,
                   sizeof text, nullptr);
    return text;
}

std::string read_and_remove(const std::string &path) {
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream read;
        read << in.rdbuf();
        text = read.str();
    }
    DeleteFileA(path.c_str());
    return text;
}

}  // namespace

std::string own_executable() {
    char exe[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, exe, sizeof exe);
    return length > 0 && length < sizeof exe ? std::string(exe, length) : std::string();
}

bool start_child(const std::vector<std::string> &args, ChildProcess &child, std::string &error) {
    char folder[MAX_PATH], name[MAX_PATH];
    if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, "plk", 0, name) == 0) {
        error = "cannot make a temporary file: " + last_error_text();
        return false;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE error_handle =
        CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    HANDLE null_in = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                 nullptr);
    HANDLE null_out = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                  0, nullptr);
    std::string command;
    for (const std::string &a : args) command += (command.empty() ? "" : " ") + quoted_argument(a);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = null_in;
    startup.hStdOutput = null_out;
    startup.hStdError = error_handle;
    PROCESS_INFORMATION process = {};
    const bool started = error_handle != INVALID_HANDLE_VALUE &&
                         CreateProcessA(args[0].c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    if (!started) error = "cannot start " + args[0] + ": " + last_error_text();
    for (HANDLE h : {error_handle, null_in, null_out}) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    if (!started) {
        DeleteFileA(name);
        return false;
    }
    CloseHandle(process.hThread);
    child.id = reinterpret_cast<long long>(process.hProcess);
    child.error_file = name;
    child.slot = remember_child(child.id);
    return true;
}

std::size_t wait_for_any(const std::vector<ChildProcess> &running, int &status, std::string &error_text) {
    std::vector<HANDLE> handles;
    for (const ChildProcess &c : running) handles.push_back(reinterpret_cast<HANDLE>(c.id));
    const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
    std::size_t which = result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + handles.size() ? result - WAIT_OBJECT_0 : 0;
    DWORD code = 0;
    status = GetExitCodeProcess(handles[which], &code) ? static_cast<int>(code) : -1;
    forget_child(running[which].slot);
    CloseHandle(handles[which]);
    error_text = read_and_remove(running[which].error_file);
    return which;
}

std::size_t max_children() { return MAXIMUM_WAIT_OBJECTS; }

unsigned processor_count() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1u;
}

bool standard_error_is_a_terminal() { return ::_isatty(::_fileno(stderr)) != 0; }

}  // namespace cli
