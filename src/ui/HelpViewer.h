#pragma once
// The program's help viewer (Qt Help over BootramaE.qch): contents, index with a search
// field, full-text search, a page on using help, and topics by their context numbers.

#include <QObject>
#include <QString>
#include <memory>
#include <string>

#include "platform/Help.h"

class QWidget;
class THelpWindow;

// The page of a help context number; empty for a number the help file doesn't know.
QString HelpPageOf(int context);

class THelpViewer : public platform::Help {
public:
    THelpViewer();
    ~THelpViewer() override;
    void SetHelpFile(const std::string& windowsPath) override;
    void Contents() override;
    void Index(const std::string& search) override;
    void UsingHelp() override;
    void Topic(int context) override;
    // An open help window moves beside the window, which may move to make room.
    void KeepBeside(QWidget& window);

private:
    // The window, opened on the first request; nullptr (after an error box) without a
    // readable help file.
    THelpWindow* Window();

    std::string helpFile_;
    std::unique_ptr<THelpWindow> window_;
    QObject lifetime_;  // ends the connection to the application with the viewer
};
