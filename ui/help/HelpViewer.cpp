// Tavorine's own help window, THelpViewer: shows the pages of a compiled help file
// (CHM) with its contents, index and search, opened on a topic or a context number.
#include "ui/help/HelpViewer.h"

#include "ui/help/HelpContentsPane.h"
#include "ui/help/HelpIndexPane.h"
#include "ui/help/HelpSearchPane.h"
#include "presentation/HelpMessages.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>

namespace {

QPointer<THelpViewer> s_instance;

// Pages are addressed inside the window as chm:/page.html, so that relative links
// and image sources resolve against the page like on a web server.
const QString Scheme = QStringLiteral("chm");
// The window's title while the page shown has none of its own.
const QString DefaultTitle = QStringLiteral("Aide de Tavorine");

} // namespace

bool ShowHelpContext(const QString &chmPath, int context, QWidget *owner)
{
    return context >= 0
           && THelpViewer::htmlHelp(owner, chmPath, THelpViewer::HH_HELP_CONTEXT, quint32(context)) != nullptr;
}

THelpViewer *THelpViewer::htmlHelp(QWidget *owner, const QString &helpFile, Command command, quint32 data)
{
    if (command == HH_CLOSE_ALL) {
        delete s_instance.data();
        return nullptr;
    }
    if (command != HH_DISPLAY_TOPIC && command != HH_HELP_CONTEXT)
        return nullptr;

    const bool created = s_instance.isNull();
    if (created)
        s_instance = new THelpViewer;
    THelpViewer *viewer = s_instance;
    const bool shown = viewer->openFile(helpFile)
                       && (command == HH_HELP_CONTEXT ? viewer->showContext(data)
                                                      : viewer->showTopic(viewer->file().defaultTopic()));
    if (!shown) {
        if (created)
            delete viewer;
        return nullptr;
    }
    if (created)
        viewer->placeBeside(owner);
    viewer->setWindowState(viewer->windowState() & ~Qt::WindowMinimized);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

THelpViewer *THelpViewer::instance()
{
    return s_instance;
}

THelpViewer::THelpViewer(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(DefaultTitle);
    // The help window never keeps the program alive once the main window has
    // closed, and it releases its file when the user closes it.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QObject::deleteLater);

    createActions();
    createNavigation();
    updateActions();
}

THelpViewer::~THelpViewer() = default;

bool THelpViewer::openFile(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (file_->isOpen() && !canonical.isEmpty()
        && QFileInfo(file_->fileName()).canonicalFilePath() == canonical)
        return true;
    auto next = std::make_unique<ChmFile>();
    if (!next->open(path)) {
        error_ = next->errorString();
        return false;
    }
    file_ = std::move(next);
    current_.clear();
    back_.clear();
    forward_.clear();
    search_.reset();
    fillFromFile();
    updateActions();
    return true;
}

bool THelpViewer::showContext(quint32 context)
{
    const QString topic = file_->topicForContext(context);
    if (topic.isEmpty()) {
        error_ = MissingTopicMessage(context, QFileInfo(file_->fileName()).fileName());
        return false;
    }
    return showTopic(topic);
}

bool THelpViewer::showTopic(const QString &target)
{
    return navigate(target, true);
}

QList<ChmTopic> THelpViewer::search(const QString &query)
{
    return search_.find(*file_, query);
}

void THelpViewer::createActions()
{
    QToolBar *bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    QAction *toggle = bar->addAction(QStringLiteral("Masquer"));
    toggle->setObjectName(QStringLiteral("HelpToggleNavigation"));
    toggle->setCheckable(true);
    toggle->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
    connect(toggle, &QAction::toggled, this, [this, toggle](bool hidden) {
        tabs_->setVisible(!hidden);
        toggle->setText(hidden ? QStringLiteral("Afficher") : QStringLiteral("Masquer"));
    });

    backAction_ = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Précédent"));
    backAction_->setObjectName(QStringLiteral("HelpBack"));
    backAction_->setShortcut(QKeySequence::Back);
    connect(backAction_, &QAction::triggered, this, &THelpViewer::goBack);

    forwardAction_ = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Suivant"));
    forwardAction_->setObjectName(QStringLiteral("HelpForward"));
    forwardAction_->setShortcut(QKeySequence::Forward);
    connect(forwardAction_, &QAction::triggered, this, &THelpViewer::goForward);

    homeAction_ = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Accueil"));
    homeAction_->setObjectName(QStringLiteral("HelpHome"));
    homeAction_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    connect(homeAction_, &QAction::triggered, this, &THelpViewer::goHome);

    // The button that shows the commands a narrow window cannot hold has
    // only an arrow.
    if (auto *more = bar->findChild<QWidget *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("Autres commandes"));
}

void THelpViewer::createNavigation()
{
    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("HelpTabs"));
    tabs_->setAccessibleName(QStringLiteral("Navigation"));
    contents_ = new THelpContentsPane;
    index_ = new THelpIndexPane;
    searchPane_ = new THelpSearchPane;
    tabs_->addTab(contents_, QStringLiteral("Sommaire"));
    tabs_->addTab(index_, QStringLiteral("Index"));
    tabs_->addTab(searchPane_, QStringLiteral("Rechercher"));
    const auto open = [this](const QString &target) { navigate(target, true); };
    connect(contents_, &THelpContentsPane::topicChosen, this, open);
    connect(index_, &THelpIndexPane::topicChosen, this, open);
    connect(searchPane_, &THelpSearchPane::topicChosen, this, open);
    connect(searchPane_, &THelpSearchPane::searchRequested, this, &THelpViewer::runSearch);

    browser_ = new QTextBrowser;
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setAccessibleName(QStringLiteral("Page d'aide"));
    browser_->setOpenLinks(false);
    browser_->document()->setResourceProvider([this](const QUrl &url) { return loadResource(url); });
    connect(browser_, &QTextBrowser::anchorClicked, this, &THelpViewer::followLink);
    connect(browser_, &QTextBrowser::highlighted, this, [this](const QUrl &link) {
        statusBar()->showMessage(link.toString());
    });

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({270, 550});
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
}

void THelpViewer::fillFromFile()
{
    contents_->fill(file_->contents());
    index_->fill(file_->index());
    searchPane_->clear();
}

void THelpViewer::placeBeside(QWidget *owner)
{
    resize(820, 600);
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect frame(QPoint(), size());
    const QRect ownerFrame = owner ? owner->frameGeometry() : QRect();
    // Beside the owner when the screen has room, so that both stay readable.
    if (owner && ownerFrame.right() + frame.width() <= available.right())
        frame.moveTopLeft(QPoint(ownerFrame.right() + 1, ownerFrame.top()));
    else
        frame.moveCenter(available.center());
    frame.moveLeft(std::max(available.left(), std::min(frame.left(), available.right() - frame.width())));
    frame.moveTop(std::max(available.top(), std::min(frame.top(), available.bottom() - frame.height())));
    move(frame.topLeft());
}

bool THelpViewer::navigate(const QString &target, bool remember)
{
    const QString normalized = ChmFile::normalizePath(target);
    const QString path = normalized.section(QLatin1Char('#'), 0, 0);
    const QString fragment = normalized.section(QLatin1Char('#'), 1);
    const QByteArray html = file_->read(path);
    if (html.isNull()) {
        error_ = file_->contains(path) ? DamagedPageMessage(path) : MissingPageMessage(path);
        statusBar()->showMessage(error_);
        return false;
    }
    if (remember && !current_.isEmpty() && current_ != normalized) {
        back_.append(current_);
        forward_.clear();
    }
    render(html, path, fragment);
    const QString title = browser_->documentTitle().trimmed();
    setWindowTitle(title.isEmpty() ? DefaultTitle : title);
    current_ = normalized;
    error_.clear();
    statusBar()->clearMessage();
    contents_->follow(current_);
    updateActions();
    return true;
}

void THelpViewer::render(const QByteArray &html, const QString &path, const QString &fragment)
{
    const QString current = current_.section(QLatin1Char('#'), 0, 0);
    if (path != current) {
        QUrl base;
        base.setScheme(Scheme);
        base.setPath(path);
        browser_->document()->setBaseUrl(base);
        browser_->setHtml(ChmFile::decodeHtml(html));
    }
    if (fragment.isEmpty())
        browser_->verticalScrollBar()->setValue(0);
    else
        browser_->scrollToAnchor(fragment);
}

void THelpViewer::followLink(const QUrl &link)
{
    QUrl base;
    base.setScheme(Scheme);
    base.setPath(current_.section(QLatin1Char('#'), 0, 0));
    const QUrl target = base.resolved(link);
    const QString scheme = target.scheme().toLower();
    if (scheme == Scheme) {
        QString page = target.path();
        if (target.hasFragment())
            page += QLatin1Char('#') + target.fragment();
        navigate(page, true);
    } else if (scheme == QLatin1String("mk") || scheme == QLatin1String("ms-its")) {
        navigate(link.toString(), true);
    } else {
        QDesktopServices::openUrl(target);
    }
}

void THelpViewer::goBack()
{
    if (back_.isEmpty())
        return;
    const QString previous = back_.takeLast();
    forward_.append(current_);
    navigate(previous, false);
}

void THelpViewer::goForward()
{
    if (forward_.isEmpty())
        return;
    const QString next = forward_.takeLast();
    back_.append(current_);
    navigate(next, false);
}

void THelpViewer::goHome()
{
    const QString home = file_->defaultTopic().isEmpty() && !file_->contents().isEmpty()
                             ? file_->contents().first().local
                             : file_->defaultTopic();
    if (!home.isEmpty())
        navigate(home, true);
}

void THelpViewer::updateActions()
{
    backAction_->setEnabled(!back_.isEmpty());
    forwardAction_->setEnabled(!forward_.isEmpty());
    homeAction_->setEnabled(file_->isOpen());
}

void THelpViewer::runSearch(const QString &query)
{
    const QList<ChmTopic> found = search(query);
    searchPane_->showResults(found);
    statusBar()->showMessage(SearchOutcomeMessage(found.size()));
}

QVariant THelpViewer::loadResource(const QUrl &url) const
{
    if (url.scheme() != Scheme)
        return {};
    const QByteArray data = file_->read(url.path());
    if (data.isNull())
        return {};
    const QString path = url.path().toLower();
    if (path.endsWith(QLatin1String(".css")) || path.endsWith(QLatin1String(".htm"))
        || path.endsWith(QLatin1String(".html")))
        return ChmFile::decodeHtml(data);
    return data;
}
