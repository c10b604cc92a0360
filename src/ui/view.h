#pragma once
// The view-and-replace dialog of one logo kind: the logos of the kind's list one at a time
// and the current logo, in a large preview. It replaces the current logo by the logo on
// show (on disk at once), loads any picture to look at, and adds the picture on show to
// the list or removes a logo from it; the list file is written only when the dialog is
// closed with "&Close".

#include <QDialog>
#include <memory>
#include <string>

#include "core/Global.h"
#include "image/Logo.h"
#include "lists/Pathlist.h"
#include "ui/EscWatch.h"
#include "ui/FileDialogs.h"
#include "ui/LogoPreview.h"

namespace Ui {
class TViewDlg;
}

class TViewDlg : public QDialog {
    Q_OBJECT
public:
    ~TViewDlg() override;
    TLogoKind LogoKind() const { return kind_; }

public slots:
    void logoBoxChange();
    void LogoPaintBoxPaint();
    void UpdateLabels();
    void ChangeBtnClick();
    void OpenBtnClick();
    void AddBtnClick();
    void HelpBtnClick();
    // Every way of closing passes here: "&Close" accepts, the close box and Esc reject.
    void done(int result) override;

protected:
    TViewDlg(TLogoKind kind, QWidget* parent);

private:
    void SetupControls();
    void ConnectHandlers();
    void FormCreate();
    void FormClose(int result);
    void ReadLogoList();
    void FillLogoBox();
    int ListSize() const;
    int LastEntry() const;
    bool NonRegisteredShown() const;
    bool IsNonRegistered() const;
    void MarkNonRegistered(bool flag);
    int EntryOfSource() const;
    std::string Caption() const;
    // Shows the picture with the window kept responsive; false when Esc aborted the load.
    bool LoadSource(const std::string& path);
    void RestoreSource(const std::string& path);

    const TLogoKind kind_;
    std::unique_ptr<Ui::TViewDlg> ui_;
    TDefaultWidget defaultControl_;
    TLogoSaveDialog saveDialog_;
    TEscWatch escWatch_;
    TLogo Logo;
    // None when the list file could not be read: the list is then shown empty and can't be
    // edited, so that closing never writes an empty list over one that is still there.
    std::unique_ptr<TFileStringlist> LogoList;
    bool ListChanged = false;
    TOpenDialogRequest OpenDlg;
};

class TViewBootDlg : public TViewDlg {
    Q_OBJECT
public:
    explicit TViewBootDlg(QWidget* parent = nullptr) : TViewDlg(lkBoot, parent) {}
};

class TViewClosingDlg : public TViewDlg {
    Q_OBJECT
public:
    explicit TViewClosingDlg(QWidget* parent = nullptr) : TViewDlg(lkClosing, parent) {}
};

class TViewCloseDlg : public TViewDlg {
    Q_OBJECT
public:
    explicit TViewCloseDlg(QWidget* parent = nullptr) : TViewDlg(lkClose, parent) {}
};
