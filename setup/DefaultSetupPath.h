#pragma once

#include <string>

// The install directory offered when the command line names none: the stored
// "RootPath" of an earlier installation when it is longer than a drive root,
// else the program-files folder + "\belvane\quor". Never fails.
std::wstring defaultSetupPath();
