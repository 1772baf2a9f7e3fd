#pragma once

#include "base/Handles.h"

namespace quor {

// The installer and the uninstaller keep each other out of an installation:
// whichever changes one holds this named mutex while it does (the installer
// from its check step to its end, the uninstaller's deletion run while it
// deletes), and the other one, finding it taken, refuses to start its change.
inline constexpr const wchar_t* kInstallationMutexName = L"{0980E678-72D2-484b-B983-D4E17598D5B7}";

class InstallationLock {
public:
    // Takes the mutex unless another program holds it; true when this object holds it now.
    bool acquire();
    bool held() const { return m_mutex.valid(); }

private:
    KernelHandle m_mutex;
};

} // namespace quor
