#include "ui/HelpWindow.h"

#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString HelpNamespace = QStringLiteral("org.bootrama.help");

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
      indexSearch_(new QLineEdit(this)) {
    setWindowTitle(tr("Bootrama Help"));
    setObjectName(QStringLiteral("HelpWindow"));
    // Help stays open beside the program, but never keeps it running.
    setAttribute(Qt::WA_QuitOnClose, false);
    // The catalogue is ours to create and update.
    engine_->setReadOnly(false);
    ready_ = Register(*engine_, helpFile);
    browser_->setOpenExternalLinks(true);

    tabs_->addTab(engine_->contentWidget(), tr("Contents"));
    connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, engine_->contentWidget(),
            [this] { engine_->contentWidget()->expandToDepth(0); });
    tabs_->addTab(MakeIndexPage(), tr("Index"));
    tabs_->addTab(MakeSearchPage(), tr("Search"));
    connect(tabs_, &QTabWidget::currentChanged, indexSearch_, [this](int page) {
        if (page == 1)
            indexSearch_->setFocus();
    });
    connect(engine_->contentWidget(), &QHelpContentWidget::linkActivated, browser_,
            [this](const QUrl& url) { browser_->setSource(url); });

    auto* splitter = new QSplitter(this);
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(860, 600);
    splitter->setSizes({250, 610});
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
    ShowPage(QStringLiteral("index.html"));
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

void THelpWindow::Raise() {
    show();
    raise();
    activateWindow();
}
