// Tavorine's own help window, THelpViewer: shows the pages of a compiled help file
// (CHM) with its contents, index and search, opened on a topic or a context number.
#pragma once

#include "help/reader/ChmFile.h"
#include "help/search/HelpSearch.h"

#include <QMainWindow>
#include <QStringList>
#include <QUrl>

#include <memory>

class THelpContentsPane;
class THelpIndexPane;
class THelpSearchPane;
class QAction;
class QTabWidget;
class QTextBrowser;

class THelpViewer : public QMainWindow
{
    Q_OBJECT

public:
    // Command codes of the HTML help call that Tavorine uses, with their classic values.
    enum Command : quint32 {
        HH_DISPLAY_TOPIC = 0x0000, // the default topic of the file
        HH_HELP_CONTEXT = 0x000F,  // the topic mapped to the context number in data
        HH_CLOSE_ALL = 0x0012,     // closes the help window
    };

    // The program's entry to help, after the classic HTML help call. The process
    // has one help window, created on first use and kept for the next request (on
    // any file). Returns that window, shown and raised, or nullptr when the file
    // or the topic cannot be shown; nothing is then shown to the user, as the
    // program does not check what help gives back. The owner, when given, is the
    // window the help window first opens beside.
    static THelpViewer *htmlHelp(QWidget *owner, const QString &helpFile, Command command, quint32 data = 0);
    static THelpViewer *instance();

    explicit THelpViewer(QWidget *parent = nullptr);
    ~THelpViewer() override;

    // Each returns false, with errorString() saying why in French, and leaves the
    // window as it was when the file, the context or the page does not exist.
    bool openFile(const QString &path);
    bool showContext(quint32 context);
    bool showTopic(const QString &target);

    const ChmFile &file() const { return *file_; }
    QString currentTopic() const { return current_; }
    QString errorString() const { return error_; }
    // Pages whose text holds every word of the query, ignoring case and accents.
    QList<ChmTopic> search(const QString &query);

private:
    void createActions();
    void createNavigation();
    void fillFromFile();
    void placeBeside(QWidget *owner);

    bool navigate(const QString &target, bool remember);
    void render(const QByteArray &html, const QString &path, const QString &fragment);
    void followLink(const QUrl &link);
    void goBack();
    void goForward();
    void goHome();
    void updateActions();
    void runSearch(const QString &query);
    QVariant loadResource(const QUrl &url) const;

    std::unique_ptr<ChmFile> file_ = std::make_unique<ChmFile>();
    QString error_;
    QString current_;
    QStringList back_;
    QStringList forward_;
    HelpSearch search_;

    QTextBrowser *browser_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    THelpContentsPane *contents_ = nullptr;
    THelpIndexPane *index_ = nullptr;
    THelpSearchPane *searchPane_ = nullptr;
    QAction *backAction_ = nullptr;
    QAction *forwardAction_ = nullptr;
    QAction *homeAction_ = nullptr;
};

// Shows the topic of a context number of a compiled help file in the help window
// (htmlHelp with HH_HELP_CONTEXT). Returns false, and shows nothing, when the file
// is missing or unreadable or the context number is not in its context table.
bool ShowHelpContext(const QString &chmPath, int context, QWidget *owner);
