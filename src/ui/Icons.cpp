#include "ui/Icons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QStyle>
#include <optional>

namespace {

struct TIconSource {
    TCommandIcon command;
    const char* themeNames[2];                       // the first one the theme has wins
    const char* ownGlyph;                            // resource
    std::optional<QStyle::StandardPixmap> standard;  // where we have no glyph of our own
};

const TIconSource IconSources[] = {
    {TCommandIcon::Exit, {"application-exit"}, ":/icons/exit.png", {}},
    {TCommandIcon::Options, {"configure", "preferences-system"}, ":/icons/options.png", {}},
    {TCommandIcon::Help, {"help-contents"}, ":/icons/help.png", {}},
    {TCommandIcon::About, {"help-about"}, ":/icons/about.png", {}},
    {TCommandIcon::Ok, {"dialog-ok"}, nullptr, QStyle::SP_DialogOkButton},
    {TCommandIcon::Cancel, {"dialog-cancel"}, nullptr, QStyle::SP_DialogCancelButton},
    {TCommandIcon::Open, {"document-open", "folder-open"}, nullptr, QStyle::SP_DirOpenIcon},
    {TCommandIcon::Save, {"document-save"}, nullptr, QStyle::SP_DialogSaveButton},
    {TCommandIcon::Close, {"window-close", "dialog-close"}, nullptr, QStyle::SP_DialogCloseButton},
    // The logo on show takes the current one's place.
    {TCommandIcon::Replace, {"view-refresh"}, nullptr, QStyle::SP_BrowserReload},
    {TCommandIcon::Back, {"go-previous"}, nullptr, QStyle::SP_ArrowBack},
    {TCommandIcon::Forward, {"go-next"}, nullptr, QStyle::SP_ArrowForward},
    // The style's home is a folder: better the command's name alone.
    {TCommandIcon::Home, {"go-home"}, nullptr, {}},
    {TCommandIcon::Drive, {"drive-harddisk"}, nullptr, QStyle::SP_DriveHDIcon},
    {TCommandIcon::Folder, {"folder"}, nullptr, QStyle::SP_DirClosedIcon},
    {TCommandIcon::OpenFolder, {"folder-open"}, nullptr, QStyle::SP_DirOpenIcon},
};

}  // namespace

QIcon CommandIcon(TCommandIcon command) {
    for (const TIconSource& source : IconSources) {
        if (source.command != command)
            continue;
        for (const char* name : source.themeNames) {
            if (name != nullptr && QIcon::hasThemeIcon(QLatin1String(name)))
                return QIcon::fromTheme(QLatin1String(name));
        }
        if (source.ownGlyph != nullptr)
            return QIcon(QLatin1String(source.ownGlyph));
        return source.standard ? QApplication::style()->standardIcon(*source.standard) : QIcon();
    }
    return {};
}

void SetCommandIcons(std::initializer_list<std::pair<QAbstractButton*, TCommandIcon>> buttons) {
    for (const auto& [button, command] : buttons)
        if (button != nullptr)
            button->setIcon(CommandIcon(command));
}
