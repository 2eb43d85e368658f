// Starting the installed word processor: the association command and the
// launch at the end. The setup never waits for what it starts.
#pragma once
#include <windows.h>

#include <string>

// WinExec(commandLine, SW_SHOW); the result is not looked at.
void RunCommand(const std::string& commandLine);

// Test seam: replaces WinExec; nullptr restores it.
using WinExecFunction = UINT(WINAPI*)(LPCSTR commandLine, UINT show);
void SetWinExecFunction(WinExecFunction fn);
