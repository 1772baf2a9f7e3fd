#pragma once

#include <cstddef>

// Where the extraction loop hands the archive's entries, one by one.
class IDecompressOutput {
public:
    virtual ~IDecompressOutput() = default;
    // Whether to handle the entry at all.
    virtual bool accept(const wchar_t* name) = 0;
    // Writes one entry; a directory entry comes with no data. False ends the extraction.
    virtual bool output(const wchar_t* name, bool isDirectory, const unsigned char* data, size_t size) = 0;
    // Asked before each entry.
    virtual bool shouldContinue() = 0;
    // One step per handled entry: `index` is 0-based, `count` the number of entries.
    virtual void progress(int index, int count) = 0;
};

// Lets the interactive worker stop an extraction after the current entry.
class IDecompressCancel {
public:
    virtual ~IDecompressCancel() = default;
    virtual bool isStopRequested() = 0;
};
