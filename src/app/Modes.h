#pragma once
// The window-less command-line modes; each returns true when the program is to end.

bool AutoMode();         // "/Auto": switches the logos whose automatic switch is on
bool UndoMode();         // "/U": takes back what the program did to the system
void DeleteListFiles();  // the undo step that offers to delete the list files
