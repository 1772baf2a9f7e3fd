#pragma once

#include "setup/IDecompressOutput.h"

#include <cstddef>

// Walks a 7z archive held in memory and hands every entry to `output`, decoding
// each solid block once (the decoded block is kept while its entries are
// written). `cancel` may be null. True when every entry was handled without an
// archive, decoder, memory or write error.
bool extractArchive(const void* archive, size_t archiveSize, IDecompressOutput& output,
                    IDecompressCancel* cancel);
