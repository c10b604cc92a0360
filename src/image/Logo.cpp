#include "image/Logo.h"

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "image/BmpCodec.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Text.h"

TLogo::TLogo(void* owner) : owner_(owner) {
    SetSourceFile("");
}

void TLogo::SetSourceFile(const std::string& path) {
    sourceFile_ = path;
    if (path.empty()) {
        Clear();
    } else {
        try {
            loadSource(path);
        } catch (const EQuietException&) {
            Clear();
        } catch (const platform::EStreamError& error) {
            Clear();
            const std::string message = Format("Error reading the file \"%s\"!\rError: %s",
                                               {path, platform::ErrorDetail(error)});
            if (!IsBootLogoFile())
                throw ELogoError(message);
            if (!ShowDefault())
                throw EDefaultLogo(message);
        } catch (const platform::EInvalidGraphic&) {
            Clear();
            throw ELogoError(Format("File \"%s\" is no valid Bitmap.", {path}));
        }
    }
    fire(OnSourceChanged, owner_);
}

void TLogo::loadSource(const std::string& path) {
    sourceBitmap_.reset();
    sourceBitmap_ = LoadPicture(path, sourceColours_, OnProgress, TLogoFiles::Allowed);
    sourceWidth_ = sourceBitmap_->Width;
    sourceHeight_ = sourceBitmap_->Height;
    // Every loaded picture has 8 bits per pixel; only the count as read tells a logo.
    isLogo_ = IsLogoImage(sourceBitmap_.get()) && sourceColours_ == 256;
    if (LogosOnly && !isLogo_)
        throw EInvalidLogo(Format("File \"%s\" is no valid Logo.", {path}));
    stretchMode_ =
        FitsInsideLogo(*sourceBitmap_, aspectRatio_) ? TStretchMode::crop : TStretchMode::stretch;
    setLogoBmp(sourceBitmap_.get());
}

void TLogo::SetStretchMode(TStretchMode mode) {
    stretchMode_ = mode;
    if (sourceBitmap_)
        setLogoBmp(sourceBitmap_.get());
}

void TLogo::SetAspectRatio(bool aspectRatio) {
    aspectRatio_ = aspectRatio;
    if (sourceBitmap_)
        setLogoBmp(sourceBitmap_.get());
}

void TLogo::setLogoBmp(const TBitmap* image) {
    logoBmp_.reset();
    if (image != nullptr) {
        logoBmp_ = isLogo_ ? std::make_unique<TBitmap>(*sourceBitmap_)
                           : ConvertToLogo(*image, aspectRatio_, stretchMode_);
        hideDefault();
        if (LogoPaintBox != nullptr)
            RealizeLogoPalette(logoBmp_.get(), LogoPaintBox->Canvas());
    }
    modified_ = true;
    fire(OnLogoChanged, owner_);
}

void TLogo::Clear() {
    sourceBitmap_.reset();
    if (logoBmp_)
        setLogoBmp(nullptr);
    isLogo_ = false;
    hideDefault();
    modified_ = false;
    sourceWidth_ = sourceHeight_ = sourceColours_ = 0;
}

void TLogo::SaveToFile(const std::string& path) {
    if (!logoBmp_)
        return;
    try {
        platform::WriteFileAtomic(path, EncodeBmp8(*logoBmp_));
        platform::SetFileAttributes(path, platform::FILE_ATTRIBUTE_ARCHIVE);
        modified_ = false;
        fire(onSave, this);
    } catch (const EQuietException&) {
    } catch (const std::exception& error) {
        throw ELogoError(Format("Error creating the file \"%s\"!\rError: %s",
                                {path, platform::ErrorDetail(error)}));
    }
}

void TLogo::SaveAs(const std::string& title, const std::string& defaultName, std::string& fileName,
                   const std::string& initialDir) {
    fileName = sourceFile_;
    TSaveDialogRequest request;
    request.Title = title;
    request.Filter = "Windows logo (*.sys)|*.sys|Bitmap (*.bmp)|*.bmp";
    request.FilterIndex = 2;
    request.DefaultExt = "bmp";
    request.FileName = defaultName;
    request.InitialDir = initialDir;
    request.OverwritePrompt = true;
    request.HideReadOnly = true;
    request.NoReadOnlyReturn = true;
    const std::optional<std::string> chosen =
        SaveDialog != nullptr ? SaveDialog->Execute(request) : std::nullopt;
    if (!chosen)
        throw EQuietException("");
    SaveToFile(*chosen);
    fileName = *chosen;
}

void TLogo::SaveAsDefault(const std::string& title, std::string& fileName) {
    SaveAs(title, DefaultLogoName(sourceFile_), fileName, GlobalInfo().LogoPath());
}

std::string TLogo::DefaultLogoName(const std::string& path) {
    const auto slash = path.find_last_of("\\/:");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Only four characters go: "photo.jpeg" gives "photo.Logo.bmp". Characters, not bytes:
    // a UTF-8 name is never cut inside a character.
    std::size_t keep = name.size();
    for (int dropped = 0; dropped < 4 && keep > 0; ++dropped) {
        --keep;
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    }
    return name.substr(0, keep) + "Logo.bmp";
}

bool TLogo::ShowDefault() {
    if (DefaultControl == nullptr)
        return false;
    DefaultControl->SetVisible(true);
    return true;
}

bool TLogo::IsBootLogoFile() const {
    return platform::UpperCase(sourceFile_) == platform::UpperCase(GetBootDrive() + "logo.sys");
}

void TLogo::hideDefault() {
    if (DefaultControl != nullptr)
        DefaultControl->SetVisible(false);
}

void TLogo::fire(const TNotifyEvent& event, void* sender) {
    if (event)
        event(sender);
}
