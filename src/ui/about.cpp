#include "ui/about.h"

#include <QHBoxLayout>
#include <QPushButton>

TAboutBox::TAboutBox(QWidget* parent) : TInfoBox(parent), OKBtn(new QPushButton(tr("OK"), this)) {
    setWindowTitle(tr("Program Info"));
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    BottomFrame()->insertWidget(1, OKBtn);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    SetMemoText(
        tr("Bootrama changes the Startup, Shutdown and Final logos of Windows 95 and "
           "Windows 98: at random with every start of Windows, or by hand from its lists "
           "of logos.\n\nIt creates new logos from bitmaps and JPEG pictures, backs up "
           "the logos in use and brings back the default Windows Startup logo."));
    FixSize();
}
