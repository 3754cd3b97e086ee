#include "platform/windows/ShortDate.h"

#include "platform/windows/WideText.h"

#include <windows.h>

namespace velkrin::win32 {

std::string todayShortDate()
{
    wchar_t text[128];
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, 128, nullptr);
    if (length <= 1) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return std::to_string(now.wYear) + '-' + (now.wMonth < 10 ? "0" : "") + std::to_string(now.wMonth) + '-' +
               (now.wDay < 10 ? "0" : "") + std::to_string(now.wDay);
    }
    return narrow(std::wstring_view(text, static_cast<std::size_t>(length - 1)));
}

} // namespace velkrin::win32
