// open_file_path_windows.cpp - the path behind a file handle, from Windows.
#include "host/open_file_path.h"

#include <io.h>
#include <windows.h>

namespace host {

std::string open_file_path(std::FILE *file) {
    const intptr_t handle = ::_get_osfhandle(::_fileno(file));
    if (handle == -1) return "";
    char path[1024];
    const DWORD length = GetFinalPathNameByHandleA(reinterpret_cast<HANDLE>(handle), path, sizeof path,
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof path) return "";
    std::string text(path, length);
    // The long form "\\?\C:\..." names the same file as "C:\...".
    if (text.rfind("\\\\?\\", 0) == 0) text.erase(0, 4);
    return text;
}

}  // namespace host
