#pragma once

#include "setup/QuorShellFolders.h"

#include <string>

// The product's shell links: the standard set made after extraction, the
// repair of links pinned by an earlier installation in the same directory, and
// the two made on request from the last page (portal favourite, game box).
class QuorShortcuts {
public:
    // `installDir` is normalised and ends with "\"; `workingDir` is the
    // product data directory that every standard link starts in.
    QuorShortcuts(std::wstring installDir, QuorShellFolders folders, std::wstring workingDir);

    // Creates or replaces one link: target, working directory, optional icon (index 0).
    static bool createShortcut(const std::wstring& target, const std::wstring& linkPath,
                               const std::wstring& icon, const std::wstring& workingDir);

    void createStandardShortcuts();
    void updatePinnedShortcuts();
    void collectBelvane();
    void createGameBoxShortcut();

    // The game-box address: the scheme's prefix and the hexadecimal form of its launch text.
    static std::wstring gameBoxTarget();

private:
    bool repointPinnedLink(const std::wstring& linkPath);

    std::wstring m_installDir;
    QuorShellFolders m_folders;
    std::wstring m_workingDir;
};
