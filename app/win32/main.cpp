// Velkrin on Windows: the portable window over native Win32 controls.

#include "platform/windows/BCryptRandomSource.h"
#include "platform/windows/ExecutableFolder.h"
#include "platform/win32/Form1Window.h"
#include "platform/windows/GdiPrinterPort.h"
#include "platform/windows/ProcessHardening.h"
#include "platform/windows/ShortDate.h"
#include "platform/windows/WideText.h"
#include "window/Form1.h"
#include "window/UserMessages.h"

#include <windows.h>

#include <commctrl.h>

#include <exception>

namespace {

// Sharp text at any scaling: the window measures itself in the screen's DPI.
// Looked up at run time, as Windows before 10 (1703) lacks the call.
void becomeDpiAware()
{
    using SetContext = BOOL(WINAPI *)(DPI_AWARENESS_CONTEXT);
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        auto set = reinterpret_cast<SetContext>(
            reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
        if (set && set(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE))
            return;
    }
    SetProcessDPIAware();
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    using namespace velkrin;
    using namespace velkrin::win32;

    hardenProcess();
    becomeDpiAware();
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);

    try {
        BCryptRandomSource random;
        ExecutableFolder folder;
#ifdef VELKRIN_QUICK_CLEAR
        // The end-to-end tests' build: they cannot wait the full delay.
        Form1Window window(instance, SecretCopy::kClearAfterInTests);
#else
        Form1Window window(instance);
#endif
        const HostServices services{
            random,
            &GdiPrinterPort::openDefault,
            folder,
            &todayShortDate,
            [&window](std::string_view message) { window.showWarning(message); },
            [&window](std::string_view text) { window.announce(text); },
        };
        const Form1Controls controls{window.Timer1,     window.XPButton3, window.XPButton2, window.XPButton1,
                                     window.List1,      window.cmdPrint,  window.cmdCreate, window.Check1,
                                     window.txtNumbers, window.txtLetters, window.lblRandom, window.lblPassword};
        Form1 form(controls, services);
        form.Load();
        return window.run(show);
    } catch (const std::exception &error) {
        // Only start-up gets here (the handlers report their own errors).
        MessageBoxW(nullptr, widen(startFailedMessage(error.what())).c_str(), widen(kMessageTitle).c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    }
}
