#pragma once
// The GUI side of the entry: the application object is created only when a window or a
// message box needs it, so /Auto and /U stay window-less.

#include <memory>

#include "platform/MessageBox.h"

// True when a display is there to show windows on (X11, Wayland or a Qt platform plugin
// named in QT_QPA_PLATFORM).
bool DisplayAvailable();

// Message boxes on screen (QMessageBox, owned by the active window); the GUI application
// is created on the first box.
std::unique_ptr<platform::MessageBoxes> MakeQtMessageBoxes();

// Creates the GUI application titled "Bootrama" (if no box created it yet), shows the main
// window and runs until it closes; returns the exit code. Without a display it says so in
// a box and returns 1.
int RunMainWindow();
