#include "base/InstallationLock.h"

namespace quor {

bool InstallationLock::acquire() {
    if (held())
        return true;
    KernelHandle mutex(CreateMutexW(nullptr, FALSE, kInstallationMutexName));
    // A mutex of another user's program cannot be opened at all: it is taken all the same.
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS)
        return false;
    m_mutex = std::move(mutex);
    return true;
}

} // namespace quor
