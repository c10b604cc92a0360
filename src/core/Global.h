#pragma once
// The facts every part of the program shares: the logo kinds and their files, the
// shared environment GlobalInfo, the message boxes and a few path utilities.

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/MessageBox.h"

// Numeric order matters: loop order of the automatic switch and of the backup report, and
// the bit of a kind in a set of kinds.
enum class TLogoKind { lkBoot = 0, lkClosing = 1, lkClose = 2 };
using enum TLogoKind;
constexpr TLogoKind AllLogoKinds[] = {lkBoot, lkClosing, lkClose};
constexpr std::size_t KindIndex(TLogoKind kind) {
    return static_cast<std::size_t>(kind);
}
// A value for each of the three kinds, looked up by the kind.
template <class T>
struct TKindTable : std::array<T, 3> {
    using std::array<T, 3>::operator[];
    constexpr T& operator[](TLogoKind kind) { return (*this)[KindIndex(kind)]; }
    constexpr const T& operator[](TLogoKind kind) const { return (*this)[KindIndex(kind)]; }
};

class TGlobalInfo {
public:
    TGlobalInfo();  // runs SetDefaults
    TGlobalInfo(const TGlobalInfo&) = delete;
    TGlobalInfo& operator=(const TGlobalInfo&) = delete;

    void SetDefaults();
    // Validating setters: an empty value or an existing directory is taken unchanged;
    // anything else keeps the old value and raises EPathError, or shows an error box
    // while the configuration is being read.
    void SetWindowsPath(const std::string& value);
    void SetBootDrive(const std::string& value);
    void SetLogoPath(const std::string& value);
    void SetImagePath(const std::string& value);

    const std::string& WindowsPath() const { return windowsPath_; }
    const std::string& BootDrive() const { return bootDrive_; }
    const std::string& LogoPath() const { return logoPath_; }
    const std::string& ImagePath() const { return imagePath_; }

    std::string AppPath;
    std::string BootListFile;
    std::string CloseListFile;
    std::string ClosingListFile;
    std::string IniFileName;
    bool ChangeBootBmp = false;
    bool ChangeCloseBmp = false;
    bool ChangeClosingBmp = false;
    bool ShowPreview = true;
    bool NewInstalled = false;
    bool ReadingConfig = false;

private:
    void SetPath(const std::string& value, std::string& field);

    std::string windowsPath_;
    std::string bootDrive_;
    std::string logoPath_;
    std::string imagePath_;
};

// The one instance, alive while a GlobalInfoScope exists (the whole run of the program;
// one test at a time in the tests).
TGlobalInfo& GlobalInfo();
class GlobalInfoScope {
public:
    GlobalInfoScope();
    ~GlobalInfoScope();
    GlobalInfoScope(const GlobalInfoScope&) = delete;
    GlobalInfoScope& operator=(const GlobalInfoScope&) = delete;
};

// Kind lookups; a value outside the three kinds gives "" (files) or "logo" (name).
std::string ListFileOf(TLogoKind kind);
std::string LogoFileOf(TLogoKind kind);
std::string LogoKindName(TLogoKind kind);
// The automatic-switch flag of a kind; for a value outside the three: AnyChangeFlag.
bool ChangeFlagOf(TLogoKind kind);
bool AnyChangeFlag();

// Message boxes; "\r" in a text is a line break. They return the button of the answer.
platform::BoxAnswer ErrorBox(const std::string& title, const std::string& text);
platform::BoxAnswer WarningBox(const std::string& title, const std::string& text);
platform::BoxAnswer InformationBox(const std::string& title, const std::string& text);
platform::BoxAnswer YesNoBox(const std::string& title, const std::string& text);
platform::BoxAnswer YesNoCancelBox(const std::string& title, const std::string& text);
platform::BoxAnswer OkCancelBox(const std::string& title, const std::string& text);

std::string GetAppPath();
std::string GetWindowsDir();
std::string GetBootDrive();
std::string AddBackslash(const std::string& path);
// The parts of a path before and after its last backslash, slash or colon: the directory
// with its separator ("C:\\Logos\\") and the file name ("sun.sys").
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);
bool IsExistingDir(const std::string& path);
std::string IntToStrWidth(long long value, int width);

// Fills the %s and %d placeholders of a message in order with the given texts, as the
// program's message templates are written ("Error reading the file \"%s\"!\rError: %s").
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);
