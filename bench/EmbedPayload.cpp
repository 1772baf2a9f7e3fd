// Copies an installer and replaces its payload (resource "ZIP" 101, Chinese
// (PRC)) with another archive, for benchmarks with a product-sized payload.
//   EmbedPayload.exe INSTALLER ARCHIVE OUTPUT
#include <windows.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        fwprintf(stderr, L"usage: EmbedPayload INSTALLER ARCHIVE OUTPUT\n");
        return 2;
    }
    HANDLE file = CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    BOOL read = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    if (!read || got != bytes.size() || !CopyFileW(argv[1], argv[3], FALSE))
        return 1;
    HANDLE update = BeginUpdateResourceW(argv[3], FALSE);
    if (!update)
        return 1;
    if (!UpdateResourceW(update, L"ZIP", MAKEINTRESOURCEW(101),
                         MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), bytes.data(),
                         static_cast<DWORD>(bytes.size()))) {
        EndUpdateResourceW(update, TRUE);
        return 1;
    }
    return EndUpdateResourceW(update, FALSE) ? 0 : 1;
}
