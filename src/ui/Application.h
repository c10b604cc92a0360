#pragma once
// The entry points of the UI library. bootrama loads the library the first time it needs a
// window or an on-screen box and looks these up by name, so /Auto and /U start with QtCore
// alone. The GUI application object is created on the first box or window.

#include "platform/MessageBox.h"

extern "C" {

// Message boxes on screen (QMessageBox, owned by the active window); owned by the library.
platform::MessageBoxes* BootramaScreenMessageBoxes();

// Creates the GUI application titled "Bootrama" (if no box created it yet), shows the main
// window and runs until it closes; returns the exit code. Needs a display.
int BootramaRunMainWindow();
}
