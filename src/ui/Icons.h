#pragma once
// The icons of the program's commands, from one place: the desktop's icon theme where it
// has one for the command, so that Bootrama looks at home on KDE, GNOME and Xfce; our own
// glyphs (or the style's) where it has none.

#include <QIcon>

enum class TCommandIcon { Exit, Options, Help, About, Ok, Cancel, Open, Back, Forward, Home };

QIcon CommandIcon(TCommandIcon command);
