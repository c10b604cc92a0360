#pragma once
// The windows and the on-screen message boxes live in the UI library beside the executable.
// It is loaded the first time one of them is needed, so /Auto and /U, which seldom show
// anything, start with QtCore alone.

#include <memory>

#include "platform/MessageBox.h"

// True when a display is there to show windows on (X11, Wayland or a Qt platform plugin
// named in QT_QPA_PLATFORM).
bool DisplayAvailable();

// Boxes on screen; the first box loads the library. Where it can't be loaded, the boxes go
// to standard error after a line that says why.
std::unique_ptr<platform::MessageBoxes> MakeScreenMessageBoxes();

// Shows the main window until it closes and returns the exit code. Without a display or
// without the library an error box says so and the result is 1.
int RunMainWindow();
