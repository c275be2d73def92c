#pragma once
// The thread's message loop, shared by every window of the program, so that
// shortcuts, Tab and dialog keys work the same while events are pumped from inside
// a handler.

#include <windows.h>

namespace kestrum::win32 {

class FormWindow;

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Runs until the form's window is gone; a WM_QUIT met here is put back for the
// main loop, and ends this one too.
void RunModalLoop(const FormWindow& form);

// Handles the messages that are waiting, then returns. A WM_QUIT met here is put
// back for the main loop.
void PumpPendingMessages();

}  // namespace kestrum::win32
