#include "platform/win32/LiveRegion.h"

#include "platform/SecureWipe.h"
#include "platform/windows/WideText.h"
#include "window/UserMessages.h"

#include <stdexcept>

namespace velkrin::win32 {

namespace {

// UI Automation's LiveSetting property and its Polite value, and the Dynamic
// Annotation service that sets it (oleacc.h declares them for newer SDKs
// only; MinGW's import library gives no usable GUID data).
constexpr GUID kLiveSettingProperty{0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr long kPolite = 1;
constexpr CLSID kAccPropServices{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

void markPolite(HWND region)
{
    IAccPropServices *services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void **>(&services))))
        return;
    VARIANT polite;
    VariantInit(&polite);
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    // Wine answers E_NOTIMPL: there the event alone tells. Windows clears
    // the annotation when the window goes.
    services->SetHwndProp(region, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty, polite);
    services->Release();
}

} // namespace

LiveRegion::LiveRegion(HWND parent, HINSTANCE instance)
{
    m_static = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, parent, nullptr,
                               instance, nullptr);
    if (!m_static)
        throw std::runtime_error(windowNotMadeReason(true, systemMessage(GetLastError())));
    auto accessible = std::make_shared<AccessibleText>();
    accessible->name = [this] { return m_text; };
    m_accessible = std::move(accessible);
    serveAccessibleText(m_static, &m_accessible);
    markPolite(m_static);
}

LiveRegion::~LiveRegion()
{
    wipe();
}

void LiveRegion::wipe()
{
    secureWipe(m_text.data(), m_text.size() * sizeof(wchar_t));
    m_text.clear();
}

void LiveRegion::announce(std::string_view text)
{
    wipe();
    m_text = widen(text);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, m_static, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace velkrin::win32
