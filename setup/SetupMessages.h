#pragma once

#include "base/InstallationLock.h"

#include <windows.h>

// Window messages the setup notification object posts to the installer's two
// windows, the check results and the exit codes of a silent run.

// To the check window.
inline constexpr UINT MSG_SETUP_INVALID = WM_USER + 101;
inline constexpr UINT MSG_SETUP_EXIST = WM_USER + 102;
// wParam: a new std::wstring* with the setup path; the receiving window deletes it.
inline constexpr UINT MSG_SHOW_MAIN_UI = WM_USER + 104;
// To the main window.
inline constexpr UINT MSG_QUOR_RUNNING = WM_USER + 105;
inline constexpr UINT MSG_RETRY_DECOMPRESS = WM_USER + 106;
// wParam: index of the archive entry just handled (0-based); lParam: number of entries.
inline constexpr UINT MSG_DECOMPRESS_PROGRESS = WM_USER + 107;
inline constexpr UINT MSG_DECOMPRESS_FINISH = WM_USER + 108;
inline constexpr UINT MSG_QUIT_SETUP = WM_USER + 109;
inline constexpr UINT MSG_DECOMPRESS_BEGIN = WM_USER + 110;

// Results of the check step.
inline constexpr int CR_Success = 0;
inline constexpr int CR_SetupExist = 1;
inline constexpr int CR_SetupInvalid = 2;

// Exit codes.
inline constexpr int kExitFinished = 0;
inline constexpr int kExitSetupExist = -1;
inline constexpr int kExitSetupInvalid = -2;
inline constexpr int kExitBadInstallPath = -3;
inline constexpr int kExitQuorRunning = -4;
inline constexpr int kExitDecompressFailed = -5;

// Held by a running installer for the rest of its process; the uninstaller's
// deletion run takes the same one.
inline constexpr const wchar_t* kSetupMutexName = quor::kInstallationMutexName;
