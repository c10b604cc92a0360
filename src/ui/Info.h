#pragma once
// The program info box: name, version and the two links to the project's web page and
// e-mail address, opened with the desktop's handlers.

#include <QDialog>
#include <memory>

class QHBoxLayout;

namespace Ui {
class TInfoBox;
}

// The project's addresses, in one place.
extern const char* const BootramaWebAddress;
extern const char* const BootramaMailAddress;

class TInfoBox : public QDialog {
    Q_OBJECT
public:
    explicit TInfoBox(QWidget* parent = nullptr);
    ~TInfoBox() override;

public slots:
    void LabelwwwClick();
    void SpeedMailClick();

protected:
    void SetMemoText(const QString& text);
    // The frame across the bottom, for the buttons of a descendant.
    QHBoxLayout* BottomFrame() const;
    // Again after a descendant has added its controls.
    void FixSize();

private:
    std::unique_ptr<Ui::TInfoBox> ui_;
};
