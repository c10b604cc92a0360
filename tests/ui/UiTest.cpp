#include "UiTest.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "image/Bitmap.h"
#include "image/BmpCodec.h"

namespace uitest {

namespace {

template <typename Answer>
std::optional<Answer> NextAnswer(std::vector<Answer>& answers) {
    if (answers.empty())
        return std::nullopt;
    Answer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

}  // namespace

std::optional<std::string> ScriptedFileDialogs::OpenPicture(QWidget*,
                                                            const TOpenDialogRequest& request) {
    openRequests.push_back(request);
    return NextAnswer(openAnswers);
}

std::optional<std::string> ScriptedFileDialogs::SaveFile(QWidget*,
                                                         const TSaveDialogRequest& request) {
    saveRequests.push_back(request);
    return NextAnswer(saveAnswers);
}

std::optional<fs::path> ScriptedFileDialogs::ChooseDriveTarget(QWidget*,
                                                               platform::DriveTarget::Kind kind,
                                                               const fs::path&) {
    driveRequests.push_back(kind);
    return NextAnswer(driveAnswers);
}

UiTest::UiTest() {
    WriteIni("NewInstalled=0\r\n");
    fs::create_directories(DriveC() / "WINDOWS");
    auto dialogs = std::make_unique<ScriptedFileDialogs>();
    fileDialogs_ = dialogs.get();
    SetFileDialogs(std::move(dialogs));
    QObject::connect(&answerTimer_, &QTimer::timeout, [this] { AnswerModal(); });
    answerTimer_.start(10);
}

UiTest::~UiTest() {
    SetFileDialogs(nullptr);
}

bool UiTest::MakeJpeg(const fs::path& path, int width, int height) {
    fs::create_directories(path.parent_path());
    const std::string command = "convert -seed 7 -size " + std::to_string(width) + "x" +
                                std::to_string(height) + " plasma:fractal '" + path.string() +
                                "' 2>/dev/null";
    return std::system(command.c_str()) == 0 && fs::exists(path);
}

void UiTest::TearDown() {
    EXPECT_EQ(answers_.size(), 0u) << "answers for dialogs that never opened";
    if (!HasFailure())
        return;
    for (const auto& box : Boxes())
        std::cerr << "box: " << platform::BoxKindName(box->kind) << " | " << box->title << " | "
                  << box->text << "\n";
}

fs::path UiTest::ListHost(TLogoKind kind) const {
    static const TKindTable<const char*> names = {"brboot.dat", "brclsing.dat", "brclose.dat"};
    return ProgramDir() / names[kind];
}

fs::path UiTest::LogoHost(TLogoKind kind) const {
    static const TKindTable<const char*> names = {"LOGO.SYS", "WINDOWS/LOGOW.SYS",
                                                  "WINDOWS/LOGOS.SYS"};
    return DriveC() / names[kind];
}

void UiTest::CopyProgram(std::initializer_list<const char*> parts) const {
    const fs::path built = BOOTRAMA_PROGRAM_DIR;
    fs::copy_file(BOOTRAMA_EXE, ProgramDir() / "bootrama");
    fs::permissions(ProgramDir() / "bootrama", fs::perms::owner_exec, fs::perm_options::add);
    fs::copy(built / "libbootrama_ui.so", ProgramDir() / "libbootrama_ui.so");
    for (const char* part : parts)
        fs::copy(built / part, ProgramDir() / part, fs::copy_options::recursive);
}

void UiTest::WriteIni(const std::string& lines) {
    WriteFile(Ini(), "[Bootrama-Options]\r\n" + lines);
}

void UiTest::WriteBitmap(const fs::path& path, int width, int height, int index) {
    TBitmap image;
    image.Width = width;
    image.Height = height;
    image.BitsPerPixel = 8;
    image.Pixels.assign(std::size_t(width) * height, static_cast<std::uint8_t>(index));
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        image.Colours.push_back({level, level, level});
    }
    WriteFile(path, EncodeBmp8(image));
}

void UiTest::FillList(TLogoKind kind) {
    const fs::path logo = DriveC() / "Logos" / ("kind" + std::to_string(KindIndex(kind)) + ".bmp");
    WriteLogo(logo);
    WriteFile(ListHost(kind), Win(logo) + "\r\n");
}

void UiTest::ExpectCaptions(const QWidget& form,
                            std::initializer_list<std::pair<const char*, const char*>> captions) {
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(Child(form, name)->property("text").toString().toStdString(), caption) << name;
}

void UiTest::ExpectNoControlSquashed(const QWidget& form) {
    for (const QWidget* control : form.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        // Qt's own parts of a control (viewports, scroll buttons) are the control's affair;
        // a fixed size (an icon scaled into it) is meant.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || control->isWindow() ||
            !control->isVisibleTo(&form) || control->minimumSize() == control->maximumSize())
            continue;
        const bool wraps = control->hasHeightForWidth();
        const int needed =
            wraps ? control->heightForWidth(control->width()) : control->minimumSizeHint().height();
        EXPECT_GE(control->height(), needed) << name.toStdString();
        if (!wraps) {
            EXPECT_GE(control->width(), control->minimumSizeHint().width()) << name.toStdString();
        }
    }
}

void UiTest::WhenModal(std::function<void(QDialog&)> answer) {
    answers_.push_back(std::move(answer));
}

void UiTest::AnswerModal() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (answered_ != nullptr && !answered_->isVisible())
        answered_ = nullptr;
    // A dialog busy when it was answered closes once its work is done.
    if (dialog == nullptr || !dialog->isVisible() || dialog == answered_)
        return;
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected dialog " << dialog->windowTitle().toStdString();
        dialog->reject();
        return;
    }
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    answered_ = dialog;
    answer(*dialog);
}

std::unique_ptr<TMainForm> UiTest::OpenMainForm() {
    return std::make_unique<TMainForm>();
}

}  // namespace uitest
