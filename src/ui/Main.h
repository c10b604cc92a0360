#pragma once
// The main window: the three current logos side by side with their state, and every
// operation of the program through the menus, the tool bar, the pop-up menus and buttons.

#include <QMainWindow>
#include <memory>

#include "core/Global.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class TApplicationHints;
class TBitmap;
class TLogoPreview;
class TPreviewLabel;

namespace Ui {
class TMainForm;
}

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Runs the whole creation: configuration, first run, list files, previews, status.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

public slots:
    void ShowHint(const QString& longHint);
    void FileExit();
    void HelpContents();
    void HelpSearch();
    void HelpHowToUse();
    void HelpAbout();
    void CrashCourseItemClick();
    void HelpSpeedBtnClick();
    void OptionsItemClick();
    void ErstellenClick();
    void ViewBootClick();
    void ViewClosingClick();
    void ViewCloseClick();
    void ChooseBootBmpItemClick();
    void ChooseClosingBmpItemClick();
    void ChooseCloseBmpItemClick();
    void RandomBootItemClick();
    void RandomClosingItemClick();
    void RandomCloseItemClick();
    void RandomBothItemClick();
    void BackupItemClick();
    void ReactivateItemClick();
    void StandardItemClick();
    void ActiveBtnClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TKindControls {
        QLabel* text;
        TLogoPreview* box;
        TPreviewLabel* errorTxt;
        QPushButton* activeBtn;
        QAction* randomItem;
        QAction* popRandom;
        QMenu* popUp;
    };

    void FormCreate();
    void FormClose();
    void SetupControls();
    void BuildPopUps();
    void ConnectHandlers();
    void Connect(QAction* action, void (TMainForm::*handler)());
    void AttachPopUp(TLogoKind kind);

    void SetPreviewError(TLogoKind kind, const std::string& text);
    void PlaceBand();
    void ShowWholeOrCutHint();
    void LoadPreview(TLogoKind kind);
    void LoadPreviews();
    void UpdateStatus();
    void UpdateCommands();

    void RandomItemClick(TLogoKind kind);
    void ShowViewDialog(TLogoKind kind);
    void ShowListEditor(TLogoKind kind);

    std::unique_ptr<Ui::TMainForm> ui_;
    std::unique_ptr<TApplicationHints> hints_;
    TKindTable<std::unique_ptr<TBitmap>> bitmaps_;  // BootBmp, ClosingBmp, CloseBmp
    TKindTable<TKindControls> kinds_{};
    QString hint_;  // the status line's hint, whole
};
