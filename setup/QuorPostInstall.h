#pragma once

#include <string>

// What runs after the files are in place: the product's own tools in their
// fixed order, the Winsock category of the product executable, and the
// last page's actions (start the product, open web pages).
class QuorPostInstall {
public:
    // `installDir` is normalised and ends with "\"; `productDataDir` is the
    // per-user product data directory the product starts in.
    QuorPostInstall(std::wstring installDir, std::wstring productDataDir);

    void do3XUpdate();
    void runInstallstat();
    void runQuorRun();
    void runLiveShow();
    void runQuorAssistant();
    void runQuor();
    void viewReleaseNote();
    void openBelvanePage();

    // Marks `appFilePath` as allowed system layered providers only; true when the system accepted it.
    static bool customLsp(const std::wstring& appFilePath);
    // Opens a web address in the user's browser; only "http://" and "https://" addresses are opened.
    static bool openUrl(const std::wstring& address);
    // The statistics tool's parameter text, double quotes included.
    static std::wstring installstatParameter();

private:
    std::wstring versionDir() const;

    std::wstring m_installDir;
    std::wstring m_productDataDir;
};
