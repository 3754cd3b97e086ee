#pragma once

#include <string>

namespace velkrin::win32 {

// Today in the user's short date format (GetDateFormatEx, DATE_SHORTDATE).
std::string todayShortDate();

} // namespace velkrin::win32
