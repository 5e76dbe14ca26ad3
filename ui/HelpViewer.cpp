// Tavorine's own help window, THelpViewer: shows the pages of a compiled help file
// (CHM) with its contents, index and search, opened on a topic or a context number.
#include "ui/HelpViewer.h"

#include "ui/HelpContentsPane.h"
#include "ui/HelpIndexPane.h"
#include "ui/HelpSearchPane.h"

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
    statusBar()->setAccessibleName(QStringLiteral("Barre d'état"));
    updateActions();
}

THelpViewer::~THelpViewer() = default;

bool THelpViewer::openFile(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (m_file->isOpen() && !canonical.isEmpty()
        && QFileInfo(m_file->fileName()).canonicalFilePath() == canonical)
        return true;
    auto next = std::make_unique<ChmFile>();
    if (!next->open(path)) {
        m_error = next->errorString();
        return false;
    }
    m_file = std::move(next);
    m_current.clear();
    m_back.clear();
    m_forward.clear();
    m_search.reset();
    fillFromFile();
    updateActions();
    return true;
}

bool THelpViewer::showContext(quint32 context)
{
    const QString topic = m_file->topicForContext(context);
    if (topic.isEmpty()) {
        m_error = QStringLiteral("La rubrique d'aide n° %1 n'existe pas dans « %2 ».")
                      .arg(context)
                      .arg(QFileInfo(m_file->fileName()).fileName());
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
    return m_search.find(*m_file, query);
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
        m_tabs->setVisible(!hidden);
        toggle->setText(hidden ? QStringLiteral("Afficher") : QStringLiteral("Masquer"));
    });

    m_backAction = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Précédent"));
    m_backAction->setObjectName(QStringLiteral("HelpBack"));
    m_backAction->setShortcut(QKeySequence::Back);
    connect(m_backAction, &QAction::triggered, this, &THelpViewer::goBack);

    m_forwardAction = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Suivant"));
    m_forwardAction->setObjectName(QStringLiteral("HelpForward"));
    m_forwardAction->setShortcut(QKeySequence::Forward);
    connect(m_forwardAction, &QAction::triggered, this, &THelpViewer::goForward);

    m_homeAction = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Accueil"));
    m_homeAction->setObjectName(QStringLiteral("HelpHome"));
    m_homeAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    connect(m_homeAction, &QAction::triggered, this, &THelpViewer::goHome);

    // The button that shows the commands a narrow window cannot hold has
    // only an arrow.
    if (auto *more = bar->findChild<QWidget *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("Autres commandes"));
}

void THelpViewer::createNavigation()
{
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("HelpTabs"));
    m_tabs->setAccessibleName(QStringLiteral("Navigation"));
    m_contents = new HelpContentsPane;
    m_index = new HelpIndexPane;
    m_searchPane = new HelpSearchPane;
    m_tabs->addTab(m_contents, QStringLiteral("Sommaire"));
    m_tabs->addTab(m_index, QStringLiteral("Index"));
    m_tabs->addTab(m_searchPane, QStringLiteral("Rechercher"));
    const auto open = [this](const QString &target) { navigate(target, true); };
    connect(m_contents, &HelpContentsPane::topicChosen, this, open);
    connect(m_index, &HelpIndexPane::topicChosen, this, open);
    connect(m_searchPane, &HelpSearchPane::topicChosen, this, open);
    connect(m_searchPane, &HelpSearchPane::searchRequested, this, &THelpViewer::runSearch);

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setAccessibleName(QStringLiteral("Page d'aide"));
    m_browser->setOpenLinks(false);
    m_browser->document()->setResourceProvider([this](const QUrl &url) { return loadResource(url); });
    connect(m_browser, &QTextBrowser::anchorClicked, this, &THelpViewer::followLink);
    connect(m_browser, &QTextBrowser::highlighted, this, [this](const QUrl &link) {
        statusBar()->showMessage(link.toString());
    });

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({270, 550});
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
}

void THelpViewer::fillFromFile()
{
    m_contents->fill(m_file->contents());
    m_index->fill(m_file->index());
    m_searchPane->clear();
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
    const QByteArray html = m_file->read(path);
    if (html.isNull()) {
        m_error = m_file->contains(path)
                      ? QStringLiteral("La page « %1 » du fichier d'aide ne peut pas être lue : le fichier est endommagé.").arg(path)
                      : QStringLiteral("La page « %1 » est introuvable dans le fichier d'aide.").arg(path);
        statusBar()->showMessage(m_error);
        return false;
    }
    if (remember && !m_current.isEmpty() && m_current != normalized) {
        m_back.append(m_current);
        m_forward.clear();
    }
    render(html, path, fragment);
    const QString title = m_browser->documentTitle().trimmed();
    setWindowTitle(title.isEmpty() ? DefaultTitle : title);
    m_current = normalized;
    m_error.clear();
    statusBar()->clearMessage();
    m_contents->follow(m_current);
    updateActions();
    return true;
}

void THelpViewer::render(const QByteArray &html, const QString &path, const QString &fragment)
{
    const QString current = m_current.section(QLatin1Char('#'), 0, 0);
    if (path != current) {
        QUrl base;
        base.setScheme(Scheme);
        base.setPath(path);
        m_browser->document()->setBaseUrl(base);
        m_browser->setHtml(ChmFile::decodeHtml(html));
    }
    if (fragment.isEmpty())
        m_browser->verticalScrollBar()->setValue(0);
    else
        m_browser->scrollToAnchor(fragment);
}

void THelpViewer::followLink(const QUrl &link)
{
    QUrl base;
    base.setScheme(Scheme);
    base.setPath(m_current.section(QLatin1Char('#'), 0, 0));
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
    if (m_back.isEmpty())
        return;
    const QString previous = m_back.takeLast();
    m_forward.append(m_current);
    navigate(previous, false);
}

void THelpViewer::goForward()
{
    if (m_forward.isEmpty())
        return;
    const QString next = m_forward.takeLast();
    m_back.append(m_current);
    navigate(next, false);
}

void THelpViewer::goHome()
{
    const QString home = m_file->defaultTopic().isEmpty() && !m_file->contents().isEmpty()
                             ? m_file->contents().first().local
                             : m_file->defaultTopic();
    if (!home.isEmpty())
        navigate(home, true);
}

void THelpViewer::updateActions()
{
    m_backAction->setEnabled(!m_back.isEmpty());
    m_forwardAction->setEnabled(!m_forward.isEmpty());
    m_homeAction->setEnabled(m_file->isOpen());
}

void THelpViewer::runSearch(const QString &query)
{
    const QList<ChmTopic> found = search(query);
    m_searchPane->showResults(found);
    statusBar()->showMessage(found.isEmpty() ? QStringLiteral("Aucune rubrique trouvée.")
                                             : QStringLiteral("%1 rubrique(s) trouvée(s).").arg(found.size()));
}

QVariant THelpViewer::loadResource(const QUrl &url) const
{
    if (url.scheme() != Scheme)
        return {};
    const QByteArray data = m_file->read(url.path());
    if (data.isNull())
        return {};
    const QString path = url.path().toLower();
    if (path.endsWith(QLatin1String(".css")) || path.endsWith(QLatin1String(".htm"))
        || path.endsWith(QLatin1String(".html")))
        return ChmFile::decodeHtml(data);
    return data;
}
