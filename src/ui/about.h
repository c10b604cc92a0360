#pragma once
// The info box as the main window shows it: with a text about the program and an OK button.

#include "ui/Info.h"

class QPushButton;

class TAboutBox : public TInfoBox {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

private:
    QPushButton* OKBtn;
};
