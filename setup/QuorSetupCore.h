#pragma once

#include <windows.h>

#include <string>

class QuorCheckStep;
class QuorSetupDecompressor;
class QuorSetupListener;

// Owns the installer's workers and the normalised install directory, and
// carries out the system integration on request.
class QuorSetupCore {
public:
    explicit QuorSetupCore(QuorSetupListener* listener);
    // Stops and waits for the check worker, then the extraction worker.
    virtual ~QuorSetupCore();
    QuorSetupCore(const QuorSetupCore&) = delete;
    QuorSetupCore& operator=(const QuorSetupCore&) = delete;

    // Brings the path into its one install-directory form (ends with "\", a
    // bare drive root gets "belvane\quor\") and hands it to the extraction
    // worker. An empty path is refused.
    void setSetupPath(const std::wstring& path);
    const std::wstring& installDirectory() const { return m_installDirectory; }

    // Worker pass-throughs.
    int startCheck(bool async);
    void stopCheck();
    int startDecompress(bool async);
    void stopDecompress();
    void forceQuit();

    // The integration sequence after the last archive entry.
    virtual void doAfterDecompress();
    // Starts the runtime-assembly thread.
    virtual void _installCrt();
    // Waits at most 2000 ms for the runtime-assembly thread; false when it still
    // runs then. It is never killed: the process ends at once instead (main).
    bool waitCrt();
    // True while the runtime-assembly thread runs.
    bool crtRunning() const;
    // Takes ownership of the runtime-assembly thread's handle.
    void setCrtThread(HANDLE thread);

    // What the finish page offers.
    virtual void runQuor();
    virtual void setAutoRun();
    virtual void viewReleaseNote();
    virtual void collectBelvane();
    virtual void openBelvanePage();
    virtual void createGameBoxShortcut();

    QuorCheckStep* checkStep() const { return m_checkStep; }
    QuorSetupDecompressor* decompressor() const { return m_decompressor; }

    static constexpr DWORD kCrtWaitMs = 2000;

    // The integration steps, in the order doAfterDecompress runs them.
    void _writeRegedit();
    void _createShortcuts();
    void _updatePinnedShortcuts();
    void _do3XUpdate();
    void runInstallstat();
    void runQuorRun();
    void _runLiveShow();
    void _runQuorAssistant();
    bool CustomLsp(const std::wstring& appFilePath);
    static bool openUrl(const std::wstring& address);

private:
    QuorCheckStep* m_checkStep;
    QuorSetupDecompressor* m_decompressor;
    std::wstring m_installDirectory;
    HANDLE m_crtThread = nullptr;
    HANDLE m_lateCrtThread = nullptr; // still running after waitCrt gave up on it
};
