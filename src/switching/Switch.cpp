#include "switching/Switch.h"

#include "core/ProgErrors.h"
#include "core/RegEntries.h"
#include "image/BmpCodec.h"
#include "lists/ListFile.h"
#include "lists/Pathlist.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace {

std::uint32_t randomState = 0;

std::string NotChangedText(TLogoKind kind, std::string_view detail) {
    return Format("The %s could not be changed!\rError: %s", {LogoKindName(kind), detail});
}

void ClearAttributes(const std::string& path) {
    // Fails harmlessly for a file that does not exist yet.
    platform::SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
}

EFileListError MissingListError(const std::string& listFile) {
    return EFileListError(
        Format("Error reading the logo list in %s!\rError: %s", {listFile, "EFileListError"}));
}

// A list to switch from: existing and not empty.
void RequireEntries(const std::string& listFile, bool exists, std::size_t count) {
    if (!exists)
        throw MissingListError(listFile);
    if (count == 0)
        throw EFileListError("Logo list is empty!");
}

}  // namespace

void CopyLogoFile(const std::string& source, const std::string& destination, bool failIfExists) {
    ClearAttributes(destination);
    if (!platform::FileExists(source)) {
        throw EFileNotFound(Format("File \"%s\" not found.", {source}));
    }
    // The platform's copy writes beside the destination and renames it over the old file,
    // so a crash or a full disk never leaves a truncated logo behind.
    if (!platform::CopyFile(source, destination, failIfExists, platform::kMaxLogoFileBytes)) {
        throw ECopyError(Format("Error copying file \"%s\" to %s\rError: %s",
                                {source, destination, "ECopyError"}));
    }
}

std::string ReplaceLogo(TLogoKind kind, const std::string& source) {
    const std::string target = LogoFileOf(kind);
    try {
        CopyLogoFile(source, target, false);
        return target;
    } catch (const EFileNotFound& error) {
        ErrorBox("Switch logo", NotChangedText(kind, "") + "\r" + error.Message());
        CheckLogoList(kind);
    } catch (const EProgError& error) {
        ErrorBox("Switch logo", NotChangedText(kind, "") + "\r" + error.Message());
    } catch (const std::exception& error) {
        ErrorBox("Switch logo", NotChangedText(kind, platform::ErrorDetail(error)) +
                                    Format("\rSource file: \"%s\"", {source}));
    }
    return "";
}

std::string SaveBitmapAsLogo(TLogoKind kind, const TBitmap& bitmap) {
    const std::string target = LogoFileOf(kind);
    try {
        ClearAttributes(target);
        // A bitmap without its pixels would become a logo Windows shows as garbage.
        if (bitmap.Empty() ||
            bitmap.Pixels.size() < std::size_t(bitmap.Width) * std::size_t(bitmap.Height)) {
            throw platform::EInvalidGraphic("Bitmap image is not valid");
        }
        platform::WriteFileAtomic(target, EncodeBmp8(bitmap));
        return target;
    } catch (const std::exception& error) {
        throw EChangeError(NotChangedText(kind, platform::ErrorDetail(error)));
    }
}

void SeedRandomFromClock() {
    const platform::SystemTime now = platform::GetSystemTime();
    randomState = static_cast<std::uint32_t>(
        ((now.hour * 60 + now.minute) * 60 + now.second) * 1000 + now.milliseconds);
}

void SetRandomState(std::uint32_t state) {
    randomState = state;
}

std::uint32_t RandomState() {
    return randomState;
}

std::uint32_t RandomDraw(std::uint32_t n) {
    randomState = randomState * 134775813u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{randomState} * n) >> 32);
}

std::string PickRandomEntry(const std::string& listFile) {
    SeedRandomFromClock();
    // Read for this one entry only, without the list object's copies of every entry.
    const TPathListEntries list(listFile);
    RequireEntries(listFile, list.Exists, list.Count());
    return std::string(list[RandomDraw(static_cast<std::uint32_t>(list.Count()))]);
}

std::string PickRandomLogo(TLogoKind kind) {
    return PickRandomEntry(ListFileOf(kind));
}

void RandomSwitch(TLogoKind kind) {
    std::string path;
    try {
        path = PickRandomLogo(kind);
    } catch (const EFileListError& error) {
        ErrorBox("Bootrama", NotChangedText(kind, error.Message()));
        return;
    }
    ReplaceLogo(kind, path);
}

void CheckLogoList(TLogoKind kind) {
    try {
        TPathStringList list(ListFileOf(kind));
        RequireEntries(list.FileName(), list.Exists, list.Strings().size());
        list.CheckEntries();
        list.SaveList();
    } catch (const EProgError& error) {
        ErrorBox("Bootrama", error.Message());
    }
}

void EnsureListFiles() {
    for (TLogoKind kind : AllLogoKinds) {
        try {
            TPathStringList list(ListFileOf(kind));
            if (!list.Exists)
                list.SaveList();
        } catch (const EFileListError& error) {
            ErrorBox("Bootrama", error.Message());
        }
    }
}

int ListEntryCount(TLogoKind kind) {
    try {
        return TPathStringList(ListFileOf(kind)).Count();
    } catch (const EFileListError& error) {
        ErrorBox("Bootrama", error.Message());
        return 0;
    }
}

void UpdateAutoSwitch() {
    const bool present = IsAutoStartOn();
    TGlobalInfo& info = GlobalInfo();
    info.ChangeBootBmp = info.ChangeBootBmp && ListEntryCount(lkBoot) > 0;
    info.ChangeCloseBmp = info.ChangeCloseBmp && ListEntryCount(lkClose) > 0;
    info.ChangeClosingBmp = info.ChangeClosingBmp && ListEntryCount(lkClosing) > 0;
    const bool wanted = info.ChangeBootBmp || info.ChangeCloseBmp || info.ChangeClosingBmp;
    if (present == wanted)
        return;
    if (present) {
        RemoveAutoStart();
    } else {
        AddAutoStart();
    }
}
