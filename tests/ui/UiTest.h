#pragma once
// A temporary machine and program folder with the files the windows look at.

#include <QAction>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/TestEnv.h"
#include "ui/FileDialogs.h"
#include "ui/Main.h"

namespace uitest {

namespace fs = std::filesystem;

// Answers the file dialogs from scripts (then with cancel) and records what they were asked.
class ScriptedFileDialogs : public TFileDialogs {
public:
    std::optional<std::string> OpenPicture(QWidget* owner,
                                           const TOpenDialogRequest& request) override;
    std::optional<std::string> SaveFile(QWidget* owner, const TSaveDialogRequest& request) override;
    std::optional<fs::path> ChooseDriveTarget(QWidget* owner, platform::DriveTarget::Kind kind,
                                              const fs::path& start) override;
    std::vector<std::string> openAnswers, saveAnswers;  // Windows paths
    std::vector<fs::path> driveAnswers;                 // host paths
    std::vector<platform::DriveTarget::Kind> driveRequests;
    std::vector<TOpenDialogRequest> openRequests;
    std::vector<TSaveDialogRequest> saveRequests;
};

class UiTest : public testenv::MachineTest {
protected:
    UiTest();
    ~UiTest() override;
    // A failing test shows the boxes it met; an answer whose dialog never opened fails it.
    void TearDown() override;

    // The file dialogs of the windows, scripted.
    ScriptedFileDialogs& FileDialogs() { return *fileDialogs_; }
    // A JPEG picture of the size made by ImageMagick; false (the test is skipped) without it.
    static bool MakeJpeg(const fs::path& path, int width, int height);

    fs::path Ini() const { return ProgramDir() / "bootrama.ini"; }
    fs::path ListHost(TLogoKind kind) const;
    fs::path LogoHost(TLogoKind kind) const;
    fs::path MsDosSys() const { return DriveC() / "MSDOS.SYS"; }

    void WriteIni(const std::string& lines);
    // The real program in the test's program folder: the executable, its windows and the
    // named parts of the built program folder.
    void CopyProgram(std::initializer_list<const char*> parts = {}) const;
    // An 8-bit bitmap of one colour: index of a grey ramp, so the colour is (index, index,
    // index).
    static void WriteBitmap(const fs::path& path, int width, int height, int index = 7);
    static void WriteLogo(const fs::path& path, int index = 7) {
        WriteBitmap(path, 320, 400, index);
    }
    // A list file naming one logo that exists.
    void FillList(TLogoKind kind);

    std::unique_ptr<TMainForm> OpenMainForm();

    // A command that opens a modal dialog returns when it closes: answer runs on the next
    // modal dialog once it shows (from inside its event loop), and must close it. Answers
    // queue up in the order given; a modal dialog that finds none fails the test and is
    // cancelled, rather than holding it up.
    void WhenModal(std::function<void(QDialog&)> answer);

    // The "text" of each named control, as shipped.
    static void ExpectCaptions(const QWidget& form,
                               std::initializer_list<std::pair<const char*, const char*>> captions);
    // Every visible control of the form at least as high as it needs (a wrapped label: at
    // its width), so nothing is cut off.
    static void ExpectNoControlSquashed(const QWidget& form);

    template <class T = QWidget>
    static T* Child(const QObject& parent, const char* name) {
        T* child = parent.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

private:
    ScriptedFileDialogs* fileDialogs_;

    void AnswerModal();

    std::deque<std::function<void(QDialog&)>> answers_;
    QPointer<QDialog> answered_;
    QTimer answerTimer_;
};

}  // namespace uitest
