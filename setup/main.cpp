#include "base/CommandLine.h"
#include "base/DllSearch.h"
#include "base/LogFile.h"
#include "setup/QuorSetupControl.h"
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
        delete control;
    }
    return exitCode;
}
