#include "ui/HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpEvent>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLineEdit>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/FormTools.h"
#include "ui/Icons.h"

namespace {

const QString HelpNamespace = QStringLiteral("org.bootrama.help");
const QString HomePage = QStringLiteral("index.html");
// At 120 pixels per inch, bounded by the screen.
constexpr int DesignWidth = 900;
constexpr int DesignHeight = 650;
constexpr int DesignContentsWidth = 250;
constexpr int MinimumContentsWidth = 40;

// Titles too long for their list end in "…"; pointing at one shows it whole.
class TTitleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const int room = std::min(option.rect.right(), view->viewport()->rect().right()) -
                         option.rect.left() + 1;
        if (sizeHint(option, index).width() > room)
            QToolTip::showText(event->globalPos(), index.data().toString(), view->viewport(),
                               option.rect);
        else
            QToolTip::hideText();
        return true;
    }
};

QUrl PageUrl(const QString& page) {
    return QUrl(QStringLiteral("qthelp://%1/doc/topics/%2").arg(HelpNamespace, page));
}

// A file registered from another place (an older build, another install) is replaced.
bool Register(QHelpEngine& engine, const QString& helpFile) {
    if (!engine.setupData())
        return false;
    const QString registered = engine.documentationFileName(HelpNamespace);
    if (!registered.isEmpty() && registered != helpFile)
        engine.unregisterDocumentation(HelpNamespace);
    if (engine.documentationFileName(HelpNamespace).isEmpty() &&
        !engine.registerDocumentation(helpFile))
        return false;
    return engine.registeredDocumentations().contains(HelpNamespace);
}

}  // namespace

THelpBrowser::THelpBrowser(QHelpEngine* engine, QWidget* parent)
    : QTextBrowser(parent), engine_(engine) {}

QVariant THelpBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() == QLatin1String("qthelp"))
        return engine_->fileData(name);
    return QTextBrowser::loadResource(type, name);
}

THelpWindow::THelpWindow(const QString& collectionFile, const QString& helpFile)
    : engine_(new QHelpEngine(collectionFile, this)),
      browser_(new THelpBrowser(engine_, this)),
      tabs_(new QTabWidget(this)),
      splitter_(new QSplitter(this)),
      indexSearch_(new QLineEdit(this)) {
    setWindowTitle(tr("Bootrama Help"));
    setObjectName(QStringLiteral("HelpWindow"));
    // Help stays open beside the program, but never keeps it running.
    setAttribute(Qt::WA_QuitOnClose, false);
    // The catalogue is ours to create and update.
    engine_->setReadOnly(false);
    ready_ = Register(*engine_, helpFile);
    browser_->setOpenExternalLinks(true);

    QHelpContentWidget* contents = engine_->contentWidget();
    tabs_->addTab(contents, tr("Contents"));
    connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, contents, [this] {
        engine_->contentWidget()->expandToDepth(0);
        FollowInContents(browser_->source());
    });
    tabs_->addTab(MakeIndexPage(), tr("Index"));
    tabs_->addTab(MakeSearchPage(), tr("Search"));
    tabs_->tabBar()->setElideMode(Qt::ElideRight);
    for (int tab = 0; tab < tabs_->count(); ++tab) tabs_->setTabToolTip(tab, tabs_->tabText(tab));
    contents->setItemDelegate(new TTitleDelegate(contents));
    engine_->indexWidget()->setItemDelegate(new TTitleDelegate(engine_->indexWidget()));
    connect(tabs_, &QTabWidget::currentChanged, indexSearch_, [this](int page) {
        if (page == 1)
            indexSearch_->setFocus();
    });
    connect(contents, &QHelpContentWidget::linkActivated, browser_,
            [this](const QUrl& url) { browser_->setSource(url); });
    connect(browser_, &QTextBrowser::sourceChanged, this, &THelpWindow::FollowInContents);

    // The contents give way to the page as far as the reader likes.
    tabs_->setMinimumWidth(MinimumContentsWidth);
    splitter_->addWidget(tabs_);
    splitter_->addWidget(browser_);
    splitter_->setStretchFactor(1, 1);
    splitter_->setCollapsible(1, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MakeToolBar());
    layout->addWidget(splitter_);
    const double scale = DesignScale(this);
    resize(Scaled(DesignWidth, scale), Scaled(DesignHeight, scale));
    BoundToScreen(this);
}

QToolBar* THelpWindow::MakeToolBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto add = [this, bar](const char* name, const QIcon& icon, const QString& text,
                           QList<QKeySequence> keys, auto slot) {
        QAction* action = bar->addAction(icon, text, this, slot);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(
            text, keys.constFirst().toString(QKeySequence::NativeText)));
        return action;
    };
    QAction* back = add("BackAction", CommandIcon(TCommandIcon::Back), tr("Back"),
                        {QKeySequence::Back}, [this] { browser_->backward(); });
    QAction* forward = add("ForwardAction", CommandIcon(TCommandIcon::Forward), tr("Forward"),
                           {QKeySequence::Forward}, [this] { browser_->forward(); });
    add("HomeAction", CommandIcon(TCommandIcon::Home), tr("Home"), {Qt::ALT | Qt::Key_Home},
        [this] { ShowPage(HomePage); });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    bar->addSeparator();
    // zoom_ remembers how far the page's text grew or shrank, for the normal size.
    add("ZoomInAction", {}, tr("Zoom in"), {QKeySequence::ZoomIn, Qt::CTRL | Qt::Key_Equal},
        [this] {
            browser_->zoomIn();
            ++zoom_;
        });
    add("ZoomOutAction", {}, tr("Zoom out"), {QKeySequence::ZoomOut}, [this] {
        browser_->zoomOut();
        --zoom_;
    });
    add("NormalSizeAction", {}, tr("Normal size"), {Qt::CTRL | Qt::Key_0}, [this] {
        browser_->zoomOut(zoom_);
        zoom_ = 0;
    });
    return bar;
}

// The contents show where the page is.
void THelpWindow::FollowInContents(const QUrl& page) {
    QHelpContentWidget* contents = engine_->contentWidget();
    const QModelIndex item = contents->indexOf(page);
    if (!item.isValid())
        return;
    contents->setCurrentIndex(item);
    contents->scrollTo(item);
}

THelpWindow::~THelpWindow() = default;

QWidget* THelpWindow::MakeIndexPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    indexSearch_->setPlaceholderText(tr("Type a word to look up"));
    layout->addWidget(indexSearch_);
    QHelpIndexWidget* index = engine_->indexWidget();
    layout->addWidget(index);
    connect(indexSearch_, &QLineEdit::textChanged, index, [index](const QString& text) {
        index->filterIndices(text);
        index->setCurrentIndex(index->model()->index(0, 0));
    });
    connect(indexSearch_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, browser_,
            [this](const QHelpLink& link, const QString&) { browser_->setSource(link.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, browser_,
            [this](const QList<QHelpLink>& links, const QString&) {
                if (!links.isEmpty())
                    browser_->setSource(links.constFirst().url);
            });
    return page;
}

QWidget* THelpWindow::MakeSearchPage() {
    QHelpSearchEngine* search = engine_->searchEngine();
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(search->queryWidget());
    layout->addWidget(search->resultWidget());
    connect(search->queryWidget(), &QHelpSearchQueryWidget::search, search,
            [search] { search->search(search->queryWidget()->searchInput()); });
    connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, browser_,
            [this](const QUrl& url) { browser_->setSource(url); });
    if (ready_)
        search->reindexDocumentation();
    return page;
}

void THelpWindow::ShowContents() {
    tabs_->setCurrentIndex(0);
    ShowPage(HomePage);
}

void THelpWindow::ShowIndex(const QString& search) {
    tabs_->setCurrentIndex(1);
    indexSearch_->setText(search);
    indexSearch_->setFocus();
    Raise();
}

void THelpWindow::ShowPage(const QString& page) {
    browser_->setSource(PageUrl(page));
    Raise();
}

// The contents as wide as the design has them for the window's width, or as their tab
// names need, but leaving most of the window to the page.
void THelpWindow::ShareWidth() {
    const double scale = DesignScale(this);
    const int tabNames = tabs_->tabBar()->sizeHint().width() +
                         2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs_);
    const int contents =
        std::min(width() * 2 / 5,
                 std::max(Scaled(DesignContentsWidth, scale) * width() / Scaled(DesignWidth, scale),
                          tabNames));
    splitter_->setSizes({contents, width() - contents});
}

void THelpWindow::ShowBeside(QWidget& window, bool windowMayMove) {
    PlaceBeside(this, &window, windowMayMove);
    ShareWidth();
}

// Opened anew, the window goes beside the one help was asked from, so that both are seen.
void THelpWindow::Raise() {
    QWidget* asking = QApplication::activeWindow();
    if (isHidden() && asking != nullptr && asking != this)
        ShowBeside(*asking, false);
    else if (isHidden())
        ShareWidth();
    show();
    raise();
    activateWindow();
}
