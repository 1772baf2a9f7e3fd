#pragma once

#include "setup/IDecompressOutput.h"

#include <string>

class QuorSetupListener;

// Puts the archive's entries on disk. An entry's first path component names its
// target directory ("InstallDir", "AppData", "TEMP", "BZQ"; any other goes to the
// install directory); files in use are moved aside to their name + ".old".
// Entry names that would leave their target directory are refused.
class CDiskOutputer : public IDecompressOutput {
public:
    static constexpr int kMaxTries = 5;
    static constexpr size_t kWriteChunk = 4194304;

    CDiskOutputer(const std::wstring& rootDirectory, QuorSetupListener* listener, IDecompressCancel* cancel);

    bool accept(const wchar_t* name) override;
    bool output(const wchar_t* name, bool isDirectory, const unsigned char* data, size_t size) override;
    bool shouldContinue() override;
    void progress(int index, int count) override;

    const std::wstring& rootDirectory() const { return m_rootDirectory; }

    // The target path of entry `name` (with "\" separators); empty when the name
    // is a root folder entry (`*isRootEntry` true) or is refused.
    std::wstring mapEntry(const std::wstring& name, bool* isRootEntry) const;

private:
    bool _tryToDecompressItem(bool isDirectory, const unsigned char* data, size_t size,
                              const std::wstring& path);
    std::wstring _rootTarget(const std::wstring& root) const;

    std::wstring m_rootDirectory;
    QuorSetupListener* m_listener;
    IDecompressCancel* m_cancel;
};
