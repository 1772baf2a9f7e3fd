#pragma once

#include "base/WorkerThread.h"

#include <atomic>
#include <string>

class QuorUninstallListener;

// Removes the installed product from disk: runs the product's statistics and
// unregistration tools, ends what still runs from the install directory and
// deletes the directory tree, one progress step per file.
class QuorFileCleaner : public quor::WorkerThread {
public:
    static constexpr unsigned int kProgressTotal = 200;

    explicit QuorFileCleaner(QuorUninstallListener* listener) : m_listener(listener) {}
    ~QuorFileCleaner() override { stop(); }

    void setPath(const std::wstring& installPath);
    const std::wstring& path() const { return m_path; }
    void setListener(QuorUninstallListener* listener) { m_listener = listener; }

    // The whole clean run, on the calling thread.
    void execute();
    // True when the last run deleted nothing: no product installation there, or
    // an installer was changing it.
    bool refused() const { return m_refused.load(); }

    // The number of the installation's "ProductInfo.txt": the decimal number after
    // the first "=" of its first line; 1 when the file, the "=" or a non-zero number is missing.
    static int productInfoNumber(const std::wstring& file);
    // The same, for the first line's bytes (UTF-8, byte-order mark already removed).
    static int productInfoNumberFromLine(const std::string& line);
    // The process-wide progress counter.
    static unsigned int progressCount();

protected:
    void run() override { execute(); }

private:
    void _startInstallstat();
    void _startQuorRun();
    void _endInstallProcesses();
    void _deleteDirectory(const std::wstring& directory);
    void _progressStep(const std::wstring& name);

    std::wstring m_path;
    QuorUninstallListener* m_listener;
    std::atomic<bool> m_refused{false};
};
