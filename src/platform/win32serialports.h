// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/serialline.h"
#include "platform/serialinbox.h"

namespace chronivel {

// The device-control block SetCommState takes for these settings.
DCB Win32Dcb(const DeviceControl& control);

// The name CreateFile needs for a port: COM10 and above exist only in the
// device namespace, so every name goes there ("\\.\COM12").
std::string ComDevicePath(const std::string& device);

// The communications calls an open port makes, so that tests can stand in
// for a driver; by default the system's own.
struct CommCalls {
    std::function<BOOL(HANDLE, DWORD)> setCommMask = ::SetCommMask;
    std::function<BOOL(HANDLE, DWORD*, OVERLAPPED*)> waitCommEvent = ::WaitCommEvent;
    std::function<BOOL(HANDLE, OVERLAPPED*, DWORD*, BOOL)> getOverlappedResult = ::GetOverlappedResult;
    std::function<BOOL(HANDLE, DWORD*)> getCommModemStatus = ::GetCommModemStatus;
    std::function<BOOL(HANDLE, DWORD*, COMSTAT*)> clearCommError = ::ClearCommError;
    std::function<BOOL(HANDLE)> cancelIo = ::CancelIo;
    std::function<BOOL(HANDLE, DWORD)> purgeComm = ::PurgeComm;
};

// A port around `handle`, opened for overlapped I/O and configured already;
// it closes the handle when destroyed. Each batch of events is stamped with
// `readCounter` (0 without one) and handed to the sink through `post`.
std::unique_ptr<SerialDevice> AdoptComHandle(HANDLE handle, std::function<std::int64_t()> readCounter,
                                             PostToScheduler post, CommCalls calls = {});

// The COM ports present now, with what the system calls each.
std::vector<FoundPort> FindComPorts();

}  // namespace chronivel
