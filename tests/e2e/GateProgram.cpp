// Stands in for one of the product's tools that a program waits for: it says
// that it runs (so the test knows its starter is inside its changing phase) and
// returns only when the test lets it go.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HANDLE entered = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"QuorTestGateEntered");
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, L"QuorTestGateRelease");
    if (!entered || !release)
        return 0; // started outside the test: no gate to keep
    SetEvent(entered);
    WaitForSingleObject(release, 180000);
    return 0;
}
