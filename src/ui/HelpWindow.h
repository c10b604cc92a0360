#pragma once
// The help viewer's window: navigation tabs beside a page browser.

#include <QTextBrowser>
#include <QWidget>

class QHelpEngine;
class QLineEdit;
class QTabWidget;

// Pages of the help file, read through the help engine.
class THelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    THelpBrowser(QHelpEngine* engine, QWidget* parent);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QHelpEngine* engine_;
};

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    // collectionFile: a writable place for the engine's catalogue of help files.
    THelpWindow(const QString& collectionFile, const QString& helpFile);
    ~THelpWindow() override;
    // False when the help file could not be registered.
    bool Ready() const { return ready_; }

    void ShowContents();
    void ShowIndex(const QString& search);
    void ShowPage(const QString& page);

private:
    QWidget* MakeIndexPage();
    QWidget* MakeSearchPage();
    void Raise();

    QHelpEngine* engine_;
    THelpBrowser* browser_;
    QTabWidget* tabs_;
    QLineEdit* indexSearch_;
    bool ready_ = false;
};
