#include "platform/win32/ComApartment.h"

#include <windows.h>

#include <objbase.h>

namespace velkrin::win32 {

ComApartment::ComApartment() : m_joined(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment()
{
    if (m_joined)
        CoUninitialize();
}

} // namespace velkrin::win32
