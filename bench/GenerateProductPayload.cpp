// Writes a product-sized payload tree, the same bytes on every run: 115 entries
// (6 folders, 109 files), about 35.8 MiB, mostly executables and libraries
// (7-Zip packs them as one BCJ2 block, the rest as a second block). Content is a
// mix of incompressible and repetitive chunks, so that it packs to about 2/3.
//   GenerateProductPayload.exe OUTPUT_DIRECTORY
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Random {
    uint64_t state;
    uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

constexpr size_t kChunk = 4096;

// Program-like bytes: short instruction-ish patterns with calls (E8) and jumps,
// repeated with variations, as in real code and data sections.
void repetitiveChunk(Random& random, std::vector<unsigned char>& out) {
    static const unsigned char patterns[][8] = {
        {0x55, 0x8B, 0xEC, 0x83, 0xEC, 0x10, 0x53, 0x56}, {0xE8, 0x10, 0x20, 0x00, 0x00, 0x85, 0xC0, 0x74},
        {0x8B, 0x45, 0x08, 0x50, 0xFF, 0x15, 0x00, 0x10}, {0x5E, 0x5B, 0x8B, 0xE5, 0x5D, 0xC3, 0xCC, 0xCC},
        {'Q', 'u', 'o', 'r', 'V', 'o', 'i', 'c'},         {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}};
    for (size_t i = 0; i < kChunk; i += 8) {
        uint64_t r = random.next();
        const unsigned char* p = patterns[r % 6];
        for (int k = 0; k < 8; ++k)
            out.push_back(p[k]);
        if ((r >> 8) % 4 == 0)
            out.back() = static_cast<unsigned char>(r >> 16);
    }
}

void randomChunk(Random& random, std::vector<unsigned char>& out) {
    for (size_t i = 0; i < kChunk; i += 8) {
        uint64_t r = random.next();
        for (int k = 0; k < 8; ++k)
            out.push_back(static_cast<unsigned char>(r >> (8 * k)));
    }
}

// Enough of a PE header for 7-Zip to treat the file as x86 code (BCJ2 block).
void stampProgramHeader(std::vector<unsigned char>& bytes) {
    if (bytes.size() < 512)
        return;
    std::fill(bytes.begin(), bytes.begin() + 512, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = 0x80;
    unsigned char* pe = bytes.data() + 0x80;
    pe[0] = 'P';
    pe[1] = 'E';
    pe[4] = 0x4C; // machine i386
    pe[5] = 0x01;
    pe[6] = 1;     // one section
    pe[20] = 0xE0; // optional header size
    pe[22] = 0x02; // executable image
    pe[23] = 0x01;
    pe[24] = 0x0B; // PE32 optional header
    pe[25] = 0x01;
}

bool writeFile(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::vector<unsigned char> content(Random& random, size_t size, int randomPercent) {
    std::vector<unsigned char> bytes;
    bytes.reserve(size + kChunk);
    while (bytes.size() < size) {
        if (static_cast<int>(random.next() % 100) < randomPercent)
            randomChunk(random, bytes);
        else
            repetitiveChunk(random, bytes);
    }
    bytes.resize(size);
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        fwprintf(stderr, L"usage: GenerateProductPayload OUTPUT_DIRECTORY\n");
        return 2;
    }
    std::wstring root = argv[1];
    if (root.back() != L'\\')
        root += L'\\';
    const wchar_t* folders[] = {L"InstallDir",
                                L"InstallDir\\8.17.0.0",
                                L"InstallDir\\8.17.0.0\\image",
                                L"InstallDir\\8.17.0.0\\plugins",
                                L"InstallDir\\Microsoft.VC90.CRT",
                                L"AppData"};
    CreateDirectoryW(root.c_str(), nullptr);
    for (const wchar_t* folder : folders)
        CreateDirectoryW((root + folder).c_str(), nullptr);

    Random random{0x5157u * 2654435761u + 17};
    int files = 0;
    uint64_t total = 0;
    auto emit = [&](const std::wstring& name, size_t size, int randomPercent, bool program) {
        std::vector<unsigned char> bytes = content(random, size, randomPercent);
        if (program)
            stampProgramHeader(bytes);
        if (!writeFile(root + name, bytes))
            return false;
        ++files;
        total += size;
        return true;
    };
    bool ok = true;
    // The executable block: 34.4 MiB in 60 programs and libraries of uneven sizes.
    const size_t executableBytes = static_cast<size_t>(34.4 * 1048576);
    size_t weights = 0;
    for (int i = 0; i < 60; ++i)
        weights += 1 + (i * 7) % 13;
    size_t used = 0;
    for (int i = 0; i < 60; ++i) {
        size_t size = i == 59 ? executableBytes - used : executableBytes * (1 + (i * 7) % 13) / weights;
        used += size;
        wchar_t name[96];
        if (i == 0)
            wsprintfW(name, L"InstallDir\\Quor.exe");
        else if (i < 20)
            wsprintfW(name, L"InstallDir\\8.17.0.0\\module%02d.dll", i);
        else if (i < 50)
            wsprintfW(name, L"InstallDir\\8.17.0.0\\plugins\\plugin%02d.dll", i);
        else
            wsprintfW(name, L"InstallDir\\8.17.0.0\\tool%02d.exe", i);
        ok = ok && emit(name, size, 61, true);
    }
    // The rest: 49 data files, about 1.4 MiB together.
    for (int i = 0; i < 49; ++i) {
        wchar_t name[96];
        size_t size = 4096 + static_cast<size_t>(i) * 1180;
        if (i < 20)
            wsprintfW(name, L"InstallDir\\8.17.0.0\\image\\icon%02d.ico", i);
        else if (i < 40)
            wsprintfW(name, L"InstallDir\\8.17.0.0\\res%02d.xml", i);
        else if (i < 45)
            wsprintfW(name, L"InstallDir\\Microsoft.VC90.CRT\\runtime%02d.txt", i);
        else
            wsprintfW(name, L"AppData\\data%02d.config", i);
        ok = ok && emit(name, size, 20, false);
    }
    wprintf(L"%d folders, %d files, %llu bytes\n", static_cast<int>(sizeof folders / sizeof *folders), files,
            static_cast<unsigned long long>(total));
    return ok ? 0 : 1;
}
