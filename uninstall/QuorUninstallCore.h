#pragma once

#include <string>

class QuorFileCleaner;
class QuorRunningChecker;
class QuorUninstallListener;

// Everything of the uninstall that is not deleting files: the product-running
// check, the relaunch from a copy outside the install directory, the start of
// the file cleaner, and the removal of the registry entries and shortcuts.
class QuorUninstallCore {
public:
    static constexpr size_t kParameterCapacity = 4096; // characters, terminator included

    explicit QuorUninstallCore(QuorUninstallListener* listener);
    ~QuorUninstallCore();
    QuorUninstallCore(const QuorUninstallCore&) = delete;
    QuorUninstallCore& operator=(const QuorUninstallCore&) = delete;

    void setPath(const std::wstring& path);
    const std::wstring& path() const { return m_path; }
    // Silent runs report nothing: both workers lose their listener.
    void setSilent(bool silent);
    bool silent() const { return m_silent; }

    void startCheck();
    void startClean(bool async);
    // Copies the running program into a fresh folder under the product data
    // directory's "setup\uninstall\" and starts the copy with the deletion switch
    // and the quoted install path. True when the copy was started.
    bool prepareUninstall();
    void removeRegistry();
    void removeShortcuts();

    // Starts `program` with `parameters` as its whole command line; with `wait`,
    // waits at most 10 s. False when nothing was started.
    static bool runExeFile(const std::wstring& program, const std::wstring& parameters, bool wait);

    QuorRunningChecker& checker() { return *m_checker; }
    QuorFileCleaner& cleaner() { return *m_cleaner; }

private:
    bool m_silent = false;
    std::wstring m_path;
    QuorRunningChecker* m_checker;
    QuorFileCleaner* m_cleaner;
};
