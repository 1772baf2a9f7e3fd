#include "base/CommandLine.h"
#include "base/DllSearch.h"
#include "base/LogFile.h"
#include "setup/QuorSetupControl.h"
#include "setup/QuorSetupCore.h"
#include "ui/core/ZuApplication.h"
#include "ui/core/ZuDefaultFont.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    quor::restrictDllSearchToSystem();
    quor::setLogFileName(L"setupV2.log");
    quor::logMessage(
        L"\n\n--------------------------------- Setup start, command line is %s ----------------------------",
        commandLine);
    int exitCode = 0;
    {
        ZuApplication application;
        // A silent run draws no text; looking the family up costs a font scan
        // (half a second under Wine) for nothing.
        bool silent = false;
        quor::tokenAfter(quor::tokenizeCommandLine(GetCommandLineW()), L"-silence", &silent);
        if (!silent)
            zuPreferDefaultFontFamily(L"Microsoft YaHei", 12);
        auto* control = new QuorSetupControl;
        // Silent mode finishes inside startSetup, leaving its quit request for exec.
        control->startSetup();
        exitCode = application.exec();
        quor::logMessage(L"-------------------------------------end "
                         L"install---------------------------------------------------\n\n");
        // A runtime-assembly thread that still runs may hold the loader's or the
        // heap's lock: the teardown and the exit routines could wait on it for
        // ever, so the process ends here without running any more of its code.
        if (control->core()->crtRunning())
            TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
        delete control;
    }
    return exitCode;
}
