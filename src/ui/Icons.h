#pragma once
// The icons of the program's commands and of the places its browsers show, from one place:
// the desktop's icon theme where it has one, so that Bootrama looks at home on KDE, GNOME
// and Xfce; our own glyphs (or the style's) where it has none.

#include <QIcon>
#include <initializer_list>
#include <utility>

class QAbstractButton;

enum class TCommandIcon {
    Exit,
    Options,
    Help,
    About,
    Ok,
    Cancel,
    Open,
    Save,
    Close,
    Replace,
    Back,
    Forward,
    Home,
    Drive,
    Folder,
    OpenFolder
};

QIcon CommandIcon(TCommandIcon command);
// The icon of each button's command; a button may be absent.
void SetCommandIcons(std::initializer_list<std::pair<QAbstractButton*, TCommandIcon>> buttons);
