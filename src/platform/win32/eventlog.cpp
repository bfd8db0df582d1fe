#include "platform/win32/eventlog.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/last_error.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

using UniqueEventSource = UniqueHandle<HANDLE, NullHandleTraits<HANDLE, ::DeregisterEventSource>>;

}  // namespace

Win32Error Win32EventLog::ReportEventW(const std::string& source, uint16_t type, uint32_t eventId,
                                       const std::string& text) {
    const UniqueEventSource handle(::RegisterEventSourceW(nullptr, Wide(source).c_str()));
    if (!handle) {
        return LastErrorOr(ERROR_INVALID_HANDLE);
    }
    const std::wstring wide = Wide(text);
    const wchar_t* strings[] = {wide.c_str()};
    if (!::ReportEventW(handle.get(), type, 0, eventId, nullptr, 1, 0, strings, nullptr)) {
        return LastErrorOr(ERROR_WRITE_FAULT);
    }
    return ERROR_SUCCESS;
}

}  // namespace platform::win32
