// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32messagewindow.h"

namespace chronivel {

HWND MakeMessageWindow(const wchar_t* className, WNDPROC procedure, void* param)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    // Made by an earlier window of the class, perhaps on another thread.
    if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    return ::CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, param);
}

}  // namespace chronivel
