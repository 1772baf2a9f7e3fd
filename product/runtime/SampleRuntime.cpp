// The sample product's private runtime library: a DLL of our own that only
// tells its version, carried in the runtime folder of the payload.
#include <windows.h>

extern "C" __declspec(dllexport) DWORD quorSampleRuntimeVersion() {
    return 0x00010000;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
