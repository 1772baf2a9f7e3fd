#include "base/DllSearch.h"
#include "base/LogFile.h"
#include "ui/core/ZuApplication.h"
#include "ui/core/ZuDefaultFont.h"
#include "uninstall/QuorUninstallControl.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    quor::restrictDllSearchToSystem();
    quor::setLogFileName(L"unistV2.log");
    quor::logMessage(L"\r\n\r\nUninstall start, command line is %s", commandLine);
    int exitCode = 0;
    {
        ZuApplication application;
        zuPreferDefaultFontFamily(L"Microsoft YaHei", 12);
        QuorUninstallControl control;
        control.uninstall(GetCommandLineW());
        exitCode = application.exec();
    }
    return exitCode;
}
