#pragma once
// TLogo turns a picture file into a logo and saves it. A dialog owns one, assigns
// SourceFile and the settings, reads the state and shows LogoBmp; the component tells it
// about changes through its events. Widgets behind the paint box, the default control and
// the save dialog are the user interface's; here they are small interfaces.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/Progress.h"
#include "image/Bitmap.h"
#include "image/BmpTools.h"

// The preview a logo is drawn into.
class TLogoPaintBox {
public:
    virtual ~TLogoPaintBox() = default;
    virtual TCanvas& Canvas() = 0;
};

// The control shown in place of a preview when the startup logo can't be read.
class TDefaultControl {
public:
    virtual ~TDefaultControl() = default;
    virtual void SetVisible(bool visible) = 0;
};

struct TSaveDialogRequest {
    std::string Title;
    std::string Filter;      // "Description|pattern|Description|pattern"
    int FilterIndex = 1;     // 1-based
    std::string DefaultExt;  // added to a name typed without extension
    std::string FileName;
    std::string InitialDir;
    bool OverwritePrompt = false;
    bool HideReadOnly = false;
    bool NoReadOnlyReturn = false;  // refuse read-only files and write-protected folders
};

class TSaveDialog {
public:
    virtual ~TSaveDialog() = default;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> Execute(const TSaveDialogRequest& request) = 0;
};

// sender: the owner for OnSourceChanged and OnLogoChanged, the component for onSave.
using TNotifyEvent = std::function<void(void* sender)>;

class TLogo {
public:
    explicit TLogo(void* owner);
    TLogo(const TLogo&) = delete;
    TLogo& operator=(const TLogo&) = delete;

    const std::string& SourceFile() const { return sourceFile_; }
    // Loads, checks and builds. Reading errors become ELogoError (or EDefaultLogo for the
    // startup logo of the boot drive); LogosOnly refuses a picture with EInvalidLogo.
    void SetSourceFile(const std::string& path);

    const TBitmap* LogoBmp() const { return logoBmp_.get(); }
    TStretchMode StretchMode() const { return stretchMode_; }
    void SetStretchMode(TStretchMode mode);
    bool AspectRatio() const { return aspectRatio_; }
    void SetAspectRatio(bool aspectRatio);
    bool LogosOnly = false;
    TLogoPaintBox* LogoPaintBox = nullptr;
    TDefaultControl* DefaultControl = nullptr;
    TSaveDialog* SaveDialog = nullptr;

    TNotifyEvent OnSourceChanged;
    TNotifyEvent OnLogoChanged;
    TProgressEvent OnProgress;
    TNotifyEvent onSave;

    const TBitmap* SourceBitmap() const { return sourceBitmap_.get(); }
    bool IsLogo() const { return isLogo_; }
    bool Modified() const { return modified_; }
    std::int32_t SourceWidth() const { return sourceWidth_; }
    std::int32_t SourceHeight() const { return sourceHeight_; }
    std::int32_t SourceColours() const { return sourceColours_; }

    void Clear();
    // Writes the logo in the logo layout whatever the extension; the file keeps only the
    // archive attribute. Nothing happens without a logo.
    void SaveToFile(const std::string& path);
    // Asks for a path (EQuietException when cancelled), saves, and returns the path in
    // fileName, which holds SourceFile until then.
    void SaveAs(const std::string& title, const std::string& defaultName, std::string& fileName,
                const std::string& initialDir);
    void SaveAsDefault(const std::string& title, std::string& fileName);
    static std::string DefaultLogoName(const std::string& path);
    bool ShowDefault();
    bool IsBootLogoFile() const;

private:
    void loadSource(const std::string& path);
    // Builds LogoBmp from image (a copy for a logo, else a conversion); none removes it.
    void setLogoBmp(const TBitmap* image);
    void hideDefault();
    void fire(const TNotifyEvent& event, void* sender);

    void* owner_;
    std::string sourceFile_;
    std::unique_ptr<TBitmap> logoBmp_;
    std::unique_ptr<TBitmap> sourceBitmap_;
    TStretchMode stretchMode_ = TStretchMode::stretch;
    bool aspectRatio_ = false;
    bool isLogo_ = false;
    bool modified_ = false;
    std::int32_t sourceWidth_ = 0;
    std::int32_t sourceHeight_ = 0;
    std::int32_t sourceColours_ = 0;
};
