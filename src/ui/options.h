#pragma once
// The options dialog: automatic switch per kind, the startup-logo switch in msdos.sys,
// the default directories and the boot drive. OK applies the settings in a fixed order; a
// path that names no directory keeps the dialog open. The drives of the machine have a page
// of their own (TDrivesPage), whose changes take effect at once.

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TOptionDlg;
}

class TOptionDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOptionDlg(QWidget* parent = nullptr);
    ~TOptionDlg() override;

public slots:
    void accept() override;
    void BrowseBtnSaveClick();
    void BrowseBtnLookupClick();
    void HelpBtnClick();

private:
    void FormCreate();
    void FillDriveBox();
    void DrivesChanged();
    void SelectDrive(const std::string& bootDrive);
    void ReadBootOffSetting();
    void ShowBootOffProblem(const std::string& problem);
    void UpdateControls();
    // False when the dialog is to stay open.
    bool ApplySettings();
    void ApplySteps();

    std::unique_ptr<Ui::TOptionDlg> ui_;
};
