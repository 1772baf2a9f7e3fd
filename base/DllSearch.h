#pragma once

namespace quor {

// Both programs run elevated from folders any user can write to: from here on,
// DLLs load from the system folder only, never from beside the program.
void restrictDllSearchToSystem();

} // namespace quor
