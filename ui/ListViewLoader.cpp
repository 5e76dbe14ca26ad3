// Lists into the report view without stopping the window: every list is read
// and built on one thread of its own, the files a run completes at most twice
// a second, the run's last file and the files the user opens while the
// window goes on with its messages.
#include "ui/ListViewLoader.h"

#include "listfiles/ListFile.h"
#include "ui/ReportView.h"

#include <QCoreApplication>
#include <QDir>
#include <QScopeGuard>
#include <QTextDocument>
#include <QThread>

#include <exception>
#include <new>
#include <utility>

TListViewLoader::TListViewLoader(TReportView *view, QObject *parent)
    : QObject(parent), view_(view)
{
}

TListViewLoader::~TListViewLoader()
{
    // A list still being built holds no pointer into the window, but its
    // thread must end before the window's objects go.
    if (builderThread_) {
        builderThread_->quit();
        builderThread_->wait();
    }
}

QObject *TListViewLoader::Builder()
{
    // One thread builds every list, so that the memory of one list is
    // reused for the next.
    if (!builderThread_) {
        builderThread_ = new QThread(this);
        builder_ = new QObject;
        builder_->moveToThread(builderThread_);
        connect(builderThread_, &QThread::finished, builder_, &QObject::deleteLater);
        builderThread_->start();
    }
    return builder_;
}

void TListViewLoader::Completed(const ListFileHost::WrittenFile &file)
{
    pending_ = file;
    Refresh(true);
}

void TListViewLoader::Refresh(bool running)
{
    // Laying out a list of some 78 000 lines takes about a tenth of a
    // second, so it is built off the window's thread, one list at a time
    // and at most twice a second; the view keeps the previous list until
    // the next one is ready, and only ever shows the newest completed file.
    if (!pending_ || !running || building_ > 0)
        return;
    if (lastBuild_.isValid() && lastBuild_.elapsed() < kRefreshMs)
        return;
    lastBuild_.start();
    Build(*std::exchange(pending_, std::nullopt), token_);
}

void TListViewLoader::Forget()
{
    ++token_;
    pending_.reset();
}

void TListViewLoader::Build(const ListFileHost::WrittenFile &file, quint64 token)
{
    ++building_;
    const QFont font = view_->document()->defaultFont();
    QThread *const target = thread();
    QMetaObject::invokeMethod(
        Builder(),
        [this, file, font, target, token] {
            QTextDocument *document = nullptr;
            try {
                QString text = ListFiles::ListTextFromBytes(file.header + file.numberLines);
                document = TReportView::BuildPlainDocument(std::move(text), ParagraphAlignment::Centre, 0, font);
                document->moveToThread(target);
            } catch (const std::bad_alloc &) {
                // Without memory for the list the view keeps what it shows.
                delete document;
                document = nullptr;
            }
            QMetaObject::invokeMethod(this, [this, document, token] { Built(document, token); },
                                      Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void TListViewLoader::Built(QTextDocument *document, quint64 token)
{
    --building_;
    if (token != token_ || !document) {
        delete document;
        return;
    }
    view_->ShowDocument(document, ParagraphAlignment::Centre);
    Refresh(true);
}

QTextDocument *TListViewLoader::BuildAndWait(const std::function<QTextDocument *()> &make,
                                             QEventLoop::ProcessEventsFlags messages)
{
    QTextDocument *document = nullptr;
    std::exception_ptr failure;
    bool done = false;
    QThread *const target = thread();
    QMetaObject::invokeMethod(
        Builder(),
        [&] {
            try {
                document = make();
                document->moveToThread(target);
            } catch (...) {
                failure = std::current_exception();
            }
            QMetaObject::invokeMethod(this, [&done] { done = true; }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    while (!done)
        QCoreApplication::processEvents(messages | QEventLoop::WaitForMoreEvents);
    if (failure)
        std::rethrow_exception(failure);
    return document;
}

void TListViewLoader::ShowAndWait(const ListFileHost::WrittenFile &file)
{
    // A list still being built is waited for and dropped first, so that no
    // more than two lists are in memory at once. What the user types or
    // clicks meanwhile waits until the list shows, as the run's end has come.
    Forget();
    while (building_ > 0)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    const QFont font = view_->document()->defaultFont();
    try {
        view_->ShowDocument(BuildAndWait(
                                [&file, &font] {
                                    return TReportView::BuildPlainDocument(
                                        ListFiles::ListTextFromBytes(file.header + file.numberLines),
                                        ParagraphAlignment::Centre, 0, font);
                                },
                                QEventLoop::ExcludeUserInputEvents),
                            ParagraphAlignment::Centre);
    } catch (const std::bad_alloc &) {
        // Without memory for the list the view keeps what it shows.
    }
}

void TListViewLoader::ShowFileAndWait(const QString &path)
{
    const QFont font = view_->document()->defaultFont();
    view_->ShowDocument(BuildAndWait(
                            [&path, &font] {
                                return TReportView::BuildPlainDocument(ListFiles::LoadListFileText(path),
                                                                       ParagraphAlignment::Centre, 0, font);
                            },
                            QEventLoop::ExcludeUserInputEvents),
                        ParagraphAlignment::Centre);
}

QString TListViewLoader::Open(const QString &path)
{
    view_->Clear();
    loading_ = true;
    const auto done = qScopeGuard([this] { loading_ = false; });
    const QFont font = view_->document()->defaultFont();
    QString message;
    try {
        // A large file takes long enough to read, decode and build to be
        // felt; the window goes on with all its messages meanwhile.
        view_->ShowDocument(BuildAndWait(
                                [&path, &font] {
                                    return TReportView::BuildPlainDocument(ListFiles::LoadListFileText(path),
                                                                           ParagraphAlignment::Left, 5, font);
                                },
                                QEventLoop::AllEvents),
                            ParagraphAlignment::Left);
    } catch (const ListFiles::ListFileSizeError &error) {
        // Too large to be shown, or more than memory holds: the file may
        // be fine, so the message says what went wrong, with its size.
        message = error.message();
    } catch (const ListFiles::ListFileError &) {
        // Nothing but the failure to read decides the file type.
        message = QStringLiteral("Type de fichier incorrect.");
    } catch (const std::bad_alloc &) {
        message = QStringLiteral("La mémoire manque pour afficher le fichier «\u00A0%1\u00A0».")
                      .arg(QDir::toNativeSeparators(path));
    }
    if (!message.isEmpty())
        view_->Clear();
    return message;
}
