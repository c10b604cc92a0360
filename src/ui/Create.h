#pragma once
// The create-logo dialog: a bitmap or JPEG picture turned into a new logo, watched in a
// large preview while the adaptation method and the aspect correction change, and saved
// under a name proposed from the picture's. It asks for the picture as it opens.

#include <QButtonGroup>
#include <QDialog>
#include <memory>

#include "image/Logo.h"
#include "ui/EscWatch.h"
#include "ui/FileDialogs.h"

namespace Ui {
class TCreateDlg;
}

class TCreateDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCreateDlg(QWidget* parent = nullptr);
    ~TCreateDlg() override;

public slots:
    void OpenBtnClick();
    void SaveBtnClick();
    void optionsGroupClick();
    void PropBoxClick();
    void HelpBtnClick();
    void LogoSourceChanged();
    void BmpPaintBoxPaint();
    // Every way of closing passes here and may be refused by the question to save.
    void done(int result) override;

private:
    void SetupControls();
    void ConnectHandlers();
    void FormCreate();
    void LogoProgress(TProgressStage stage, int percentDone);
    // False when the dialog is to stay open.
    bool FormClose();
    void EnableLogoControls(bool enabled);

    std::unique_ptr<Ui::TCreateDlg> ui_;
    QButtonGroup methods_;
    TLogoSaveDialog saveDialog_;
    TEscWatch escWatch_;
    TLogo Logo;
    TOpenDialogRequest CreateOpenDlg;
};
