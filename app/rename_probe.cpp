// SPDX-License-Identifier: GPL-3.0-or-later
// For the Windows program's check on the school's share (share_test_wine.sh):
// makes a file in the folder given, closes it and renames it, with nothing of
// the program's own in between. Prints "renamed" and exits 0 when the system
// renamed it; otherwise prints the system's error number and exits 1. Either
// way nothing is left in the folder. It tells whether a refused rename on a
// share is the program's fault or the file system's.
#include <windows.h>

#include <cstdio>
#include <string>

// Removes path, waiting out a share that still holds it or that answers yes
// and keeps it (both seen under Wine).
void removeProbe(const std::wstring& path) {
    for (int attempt = 0; attempt < 30; ++attempt) {
        ::DeleteFileW(path.c_str());
        if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            return;
        ::Sleep(100);
    }
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: rename-probe FOLDER\n", stderr);
        return 2;
    }
    const std::wstring folder = argv[1];
    const std::wstring from = folder + L"\\.rename-probe-from";
    const std::wstring to = folder + L"\\.rename-probe-to";
    HANDLE file = ::CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot make a file: error %lu\n", ::GetLastError());
        return 2;
    }
    DWORD written = 0;
    ::WriteFile(file, "probe", 5, &written, nullptr);
    ::CloseHandle(file);
    // A share may take a moment to see the file closed: several tries.
    DWORD error = 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
            removeProbe(to);
            std::puts("renamed");
            return 0;
        }
        error = ::GetLastError();
        ::Sleep(100);
    }
    removeProbe(from);
    std::printf("error %lu\n", error);
    return 1;
}
