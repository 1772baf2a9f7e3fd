#include "uninstall/UninstallMode.h"

#include "base/CommandLine.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>

namespace {

bool hasToken(const std::vector<std::wstring>& tokens, const wchar_t* name) {
    return std::find(tokens.begin(), tokens.end(), name) != tokens.end();
}

} // namespace

UninstallRun chooseUninstallRun(const std::vector<std::wstring>& tokens) {
    UninstallRun run;
    if (hasToken(tokens, L"-silence")) {
        run.mode = kUninstallSilent;
        return run;
    }
    std::wstring path = quor::tokenAfter(tokens, L"-path", nullptr);
    bool pathExists = !path.empty() && PathFileExistsW(path.c_str());
    if (pathExists && hasToken(tokens, L"-delete"))
        run.mode = kUninstallDelete;
    else if (pathExists && hasToken(tokens, L"-silencedelete"))
        run.mode = kUninstallSilentDelete;
    if (run.mode != kUninstallInteractive)
        run.path = path;
    return run;
}
