#pragma once
// The help viewer's window: navigation tabs beside a page browser, with Back, Forward,
// Home and zoom. Its own top-level window, which the program's dialogs leave usable.

#include <QTextBrowser>
#include <QWidget>

class QHelpEngine;
class QLineEdit;
class QSplitter;
class QTabWidget;
class QToolBar;

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
    // Moves beside the window, which may move to make room.
    void ShowBeside(QWidget& window, bool windowMayMove);

private:
    QToolBar* MakeToolBar();
    QWidget* MakeIndexPage();
    QWidget* MakeSearchPage();
    void FollowInContents(const QUrl& page);
    void ShareWidth();
    void Raise();

    QHelpEngine* engine_;
    THelpBrowser* browser_;
    QTabWidget* tabs_;
    QSplitter* splitter_;
    QLineEdit* indexSearch_;
    int zoom_ = 0;  // steps the page is zoomed in (negative: out)
    bool ready_ = false;
};
