#pragma once

#include <string>

// The product's registry entries under HKEY_CURRENT_USER: install location,
// uninstall entry and auto-start values. Every step stands alone: a key that
// cannot be opened is logged and the other steps still run.
class QuorRegistryWriter {
public:
    // `installDir` is normalised and ends with "\".
    explicit QuorRegistryWriter(std::wstring installDir) : m_installDir(std::move(installDir)) {}

    // Product key ("InstallDir"), the assistant's auto-start, "RootPath", the uninstall entry.
    void writeRegedit();
    void writeRegistForQuorAssistant();
    void writeRootPath();
    void writeUninstallEntry();
    // The product's own auto-start, on the user's request only.
    void setAutoRun();

private:
    std::wstring m_installDir;
};
