#pragma once

#include <map>
#include <string>

// The process-wide path alias table: rewrites a resource id such as
// "setup:title.png" into an address ("dll:///res/title.png").
class ZuAssignLib {
public:
    static ZuAssignLib* instance();

    // Adding an alias that exists replaces it.
    void addAlias(const std::wstring& name, const std::wstring& replacement);
    bool hasAlias(const std::wstring& name);
    std::wstring resolve(const std::wstring& id);
    // At application exit; the built-in aliases come back on next use.
    void clear();

    // The "home" rule on its own, for a given program directory.
    static std::wstring homeFor(const std::wstring& programDirectory);

private:
    void fillOnFirstUse();

    bool m_initialised = false;
    std::map<std::wstring, std::wstring> m_aliases;
};
