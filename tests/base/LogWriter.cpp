// A second program logging into the same file: waits until the named event is
// set (so that both writers start together), then writes its numbered records.
// Arguments: the log directory, a tag, the record count, the event name.
#include "base/LogFile.h"

#include <cstdlib>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5)
        return 2;
    HANDLE start = OpenEventW(SYNCHRONIZE, FALSE, argv[4]);
    if (!start || WaitForSingleObject(start, 60000) != WAIT_OBJECT_0)
        return 3;
    quor::LogFile log(std::wstring(argv[1]) + L"\\");
    const int count = _wtoi(argv[3]);
    for (int i = 0; i < count; ++i)
        log.write(L"%s record %d", argv[2], i);
    return 0;
}
