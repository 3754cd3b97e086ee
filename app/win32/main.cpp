// Velkrin on Windows: the portable window over native Win32 controls.

#include "platform/win32/CommonControls.h"
#include "platform/win32/Form1Window.h"
#include "platform/windows/BCryptRandomSource.h"
#include "platform/windows/ExecutableFolder.h"
#include "platform/windows/GdiPrinterPort.h"
#include "platform/windows/ProcessHardening.h"
#include "platform/windows/ShortDate.h"
#include "platform/windows/WideText.h"
#include "window/Form1.h"
#include "window/UserMessages.h"

#include <windows.h>

#include <commctrl.h>

#include <exception>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    using namespace velkrin;
    using namespace velkrin::win32;

    // DPI awareness and the common controls' version come from the manifest.
#ifdef VELKRIN_QUICK_CLEAR
    // The end-to-end tests' build: Wine's oleacc opens the window's process
    // to duplicate a handle before a screen reader's question can reach the
    // window (Windows' own lends a UIAccess screen reader a handle through
    // GetProcessHandleFromHwnd), and the tests ask as a screen reader does.
    hardenProcess(PROCESS_DUP_HANDLE);
#else
    hardenProcess();
#endif
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    initCommonControls(classes);

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
        const Form1Controls controls{window.Timer1,     window.XPButton3,  window.XPButton2, window.XPButton1,
                                     window.List1,      window.cmdPrint,   window.cmdCreate, window.Check1,
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
