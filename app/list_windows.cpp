// SPDX-License-Identifier: GPL-3.0-or-later
// Lists the visible top-level windows of the Windows session it runs in, one a
// line: left, top, right, bottom and title. The Wine smoke test runs it to
// wait for a window and to find where it is, since inside Wine's virtual
// desktop the program's windows are not windows of the X server.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK printWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window))
        return TRUE;
    wchar_t title[512];
    const int length = GetWindowTextW(window, title, 512);
    if (length <= 0)
        return TRUE;
    RECT rect{};
    GetWindowRect(window, &rect);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, title, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, title, length, utf8.data(), bytes, nullptr, nullptr);
    std::printf("%ld %ld %ld %ld %s\n", rect.left, rect.top, rect.right, rect.bottom, utf8.c_str());
    return TRUE;
}

} // namespace

int main() {
    EnumWindows(printWindow, 0);
    return 0;
}
