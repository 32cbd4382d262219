// <windows.h> for the installer's Win32 code. The ANSI/Unicode name macros of
// the functions below would rename the methods of our own interfaces that share
// their names (Machine::CreateDirectory, Desktop::MessageBox,
// Profile::GetPrivateProfileString, ...); the Win32 code calls the "A"
// functions by their full names instead.
#pragma once

#include <windows.h>

#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile
#undef MoveFile
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetDriveType
#undef GetVolumeLabel
#undef GetTempPath
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef MessageBox
#undef GetEnvironmentVariable
#undef GetPrivateProfileString
#undef WritePrivateProfileString
