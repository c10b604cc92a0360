#include "ui/Icons.h"

#include <QApplication>
#include <QStyle>
#include <initializer_list>

namespace {

struct TIconSource {
    TCommandIcon command;
    std::initializer_list<const char*> themeNames;  // the first one the theme has wins
    const char* ownGlyph;                           // resource, or nullptr for the style's
    QStyle::StandardPixmap standard;
};

const TIconSource IconSources[] = {
    {TCommandIcon::Exit, {"application-exit"}, ":/icons/exit.png", {}},
    {TCommandIcon::Options, {"configure", "preferences-system"}, ":/icons/options.png", {}},
    {TCommandIcon::Help, {"help-contents"}, ":/icons/help.png", {}},
    {TCommandIcon::About, {"help-about"}, ":/icons/about.png", {}},
    {TCommandIcon::Ok, {"dialog-ok"}, nullptr, QStyle::SP_DialogOkButton},
    {TCommandIcon::Cancel, {"dialog-cancel"}, nullptr, QStyle::SP_DialogCancelButton},
    {TCommandIcon::Open, {"document-open", "folder-open"}, nullptr, QStyle::SP_DirOpenIcon},
    {TCommandIcon::Back, {"go-previous"}, nullptr, QStyle::SP_ArrowBack},
    {TCommandIcon::Forward, {"go-next"}, nullptr, QStyle::SP_ArrowForward},
    {TCommandIcon::Home, {"go-home"}, nullptr, QStyle::SP_DirHomeIcon},
};

}  // namespace

QIcon CommandIcon(TCommandIcon command) {
    for (const TIconSource& source : IconSources) {
        if (source.command != command)
            continue;
        for (const char* name : source.themeNames) {
            if (QIcon::hasThemeIcon(QLatin1String(name)))
                return QIcon::fromTheme(QLatin1String(name));
        }
        return source.ownGlyph != nullptr ? QIcon(QLatin1String(source.ownGlyph))
                                          : QApplication::style()->standardIcon(source.standard);
    }
    return {};
}
