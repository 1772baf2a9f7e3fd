#pragma once

#include <cstddef>

class CDiskOutputer;

// What must hold before the first file of a payload is written, so that an
// installation that cannot succeed fails with nothing written: every entry has
// a place it may be written to (its root resolved, inside its directory, no
// linked folder on the way), and every drive the entries go to has room for
// them. Reads only the archive's directory, decodes nothing. Logs what is
// wrong; true when the extraction may start.
bool checkBeforeExtraction(const void* archive, size_t archiveSize, CDiskOutputer& outputer);
