// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32.h"

#include "platform/instancelock.h"
#include "platform/win32text.h"

namespace chronivel {

namespace {

// Pipes are seen across sessions: the user's name keeps two users' copies apart.
std::string UserName()
{
    wchar_t name[257];
    DWORD size = sizeof name / sizeof name[0];
    return ::GetUserNameW(name, &size) && size > 0 ? Utf8(std::wstring_view(name, size - 1)) : std::string();
}

}  // namespace

InstanceLock::InstanceLock(std::string_view title) : title_(title)
{
    location_ = "Local\\Orvantis." + title_;
    channel_ = "Orvantis." + UserName() + "." + title_;
    Take();
}

// The mutex exists for as long as a process has it open; the system closes a
// process's handles when it ends, however it ends.
void InstanceLock::Take()
{
    state_ = State::Failed;
    problem_.clear();
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, Utf16(location_).c_str());
    const DWORD error = ::GetLastError();
    if (mutex == nullptr) {
        problem_ = "Cannot create the mutex '" + location_ + "': " + SystemMessage(error);
        return;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        state_ = State::Elsewhere;
        return;
    }
    handle_ = mutex;
    state_ = State::Held;
}

InstanceLock::~InstanceLock()
{
    if (handle_ != nullptr) ::CloseHandle(handle_);
}

}  // namespace chronivel
