#pragma once
// The save dialog of a TLogo: a Qt file dialog over the host folders of the machine's
// drives, asked and answered in Windows paths.

#include "image/Logo.h"

class QWidget;

class TLogoSaveDialog : public TSaveDialog {
public:
    explicit TLogoSaveDialog(QWidget* owner) : owner_(owner) {}
    std::optional<std::string> Execute(const TSaveDialogRequest& request) override;

private:
    QWidget* owner_;
};
