#pragma once

#include "setup/IDecompressOutput.h"

#include <windows.h>

#include <string>
#include <unordered_set>

class QuorSetupListener;

// The directories the archive's roots lead to, decided once before the first
// file is written; each ends with "\" or is empty when it cannot be resolved.
struct TargetRoots {
    std::wstring install; // "InstallDir" and every unknown root
    std::wstring appData; // the per-installation data directory
    std::wstring temp;    // the system's temp folder
    std::wstring bzq;

    static TargetRoots forInstallDirectory(const std::wstring& installDirectory);
};

// Where one entry goes: its root's directory and its full target path.
struct EntryTarget {
    bool isRootEntry = false;
    std::wstring directory;
    std::wstring path;
};

// Puts the archive's entries on disk. An entry's first path component names its
// target directory ("InstallDir", "AppData", "TEMP", "BZQ"; any other goes to the
// install directory); files in use are moved aside to their name + ".old".
// Entry names that would leave their target directory are refused, and nothing
// is ever written through a linked folder below a target directory.
class CDiskOutputer : public IDecompressOutput {
public:
    static constexpr int kMaxTries = 5;
    static constexpr size_t kWriteChunk = 4194304;

    CDiskOutputer(const std::wstring& rootDirectory, QuorSetupListener* listener, IDecompressCancel* cancel);
    CDiskOutputer(const TargetRoots& roots, QuorSetupListener* listener, IDecompressCancel* cancel);
    ~CDiskOutputer() override = default;

    bool accept(const wchar_t* name) override;
    bool output(const wchar_t* name, bool isDirectory, const unsigned char* data, size_t size) override;
    bool shouldContinue() override;
    void progress(int index, int count) override;

    const std::wstring& rootDirectory() const { return m_roots.install; }
    const TargetRoots& roots() const { return m_roots; }

    // The target path of entry `name` (with "\" separators); empty when the name
    // is a root folder entry (`*isRootEntry` true) or is refused.
    std::wstring mapEntry(const std::wstring& name, bool* isRootEntry) const;

    // Maps entry `name` ("/" or "\" separators) and makes sure that every folder
    // on its way below its root's directory that exists is a real folder: a link
    // there is removed (never its target) so that a real folder takes its place.
    // False, logged, when the entry cannot be written where it belongs.
    bool prepareEntry(const std::wstring& name, EntryTarget* target);

protected:
    // The file operations of one entry; tests make them fail on purpose.
    virtual HANDLE _createTarget(const std::wstring& path);
    virtual bool _writeAll(HANDLE file, const unsigned char* data, size_t size);
    virtual void _moveAside(const std::wstring& path);

private:
    bool _tryToDecompressItem(bool isDirectory, const unsigned char* data, size_t size,
                              const std::wstring& path);
    std::wstring _rootTarget(const std::wstring& root) const;
    bool _map(const std::wstring& name, EntryTarget* target) const;
    bool _unlinkedFolder(const std::wstring& folder);

    TargetRoots m_roots;
    QuorSetupListener* m_listener;
    IDecompressCancel* m_cancel;
    // Folders already found to be real ones: each is looked at once.
    std::unordered_set<std::wstring> m_realFolders;
};
