#pragma once
// The thread's message loop, shared by every window of the program, so that
// shortcuts, Tab and dialog keys work the same while events are pumped from inside
// a handler. A modal window runs the same loop until it is unloaded
// (FormWindow::runModal).

#include <windows.h>

namespace kestrum::win32 {

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Handles the messages that are waiting, then returns. A WM_QUIT met here is put
// back for the main loop.
void PumpPendingMessages();

}  // namespace kestrum::win32
