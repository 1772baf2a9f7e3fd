#pragma once

#include <cstdint>

// A table of files compiled into a program: `count` entries whose bytes lie
// one after another in `block`, entry i named `names[i]`, `sizes[i]` bytes long.
struct ZuCompiledTable {
    int count;
    const char* const* names;
    const uint8_t* block;
    const uint32_t* sizes;
};

// Made by artwork/generate.py at build time.
extern const ZuCompiledTable zuGuiTable;            // theme/gui/: the toolkit's own pictures
extern const ZuCompiledTable quorSetupSkinTable;    // res/: the installer's pictures
extern const ZuCompiledTable quorSetupExtraTable;   // res/: the installer's licence and large pictures
extern const ZuCompiledTable quorUninstallSkinTable; // res/: the uninstaller's pictures
extern const ZuCompiledTable zuArtworkTestTable;    // test/: pictures the toolkit's tests decode
