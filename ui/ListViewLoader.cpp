// Lists into the report view without stopping the window: the files a run
// completes, built on a thread of their own at most twice a second, and the
// files the user opens, read on a thread while the window goes on.
#include "ui/ListViewLoader.h"

#include "listfiles/ListFile.h"
#include "ui/ReportView.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTextDocument>
#include <QThread>

#include <exception>
#include <memory>
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

void TListViewLoader::ShowAndWait(const ListFileHost::WrittenFile &file)
{
    // A list still being built is waited for and dropped first, so that no
    // more than two lists are in memory at once.
    Forget();
    while (building_ > 0)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    awaited_ = ++token_;
    Build(file, awaited_);
    while (awaited_ != 0)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

void TListViewLoader::Build(const ListFileHost::WrittenFile &file, quint64 token)
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
    ++building_;
    const QFont font = view_->document()->defaultFont();
    QThread *const target = thread();
    QMetaObject::invokeMethod(
        builder_,
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
    if (token != token_) {
        // A list no longer wanted; whoever waited for it waits no more.
        if (token == awaited_)
            awaited_ = 0;
        delete document;
        return;
    }
    if (document)
        view_->ShowDocument(document, ParagraphAlignment::Centre);
    if (token == awaited_)
        awaited_ = 0;
    else
        Refresh(true);
}

QString TListViewLoader::Open(const QString &path)
{
    view_->Clear();
    loading_ = true;
    const auto done = qScopeGuard([this] { loading_ = false; });
    QString message;
    try {
        view_->LoadPlainText(ReadWithoutBlocking(path), ParagraphAlignment::Left, 5,
                             [] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
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

QString TListViewLoader::ReadWithoutBlocking(const QString &path)
{
    // A large file takes long enough to read and decode to be felt: a
    // thread of its own does it while the window goes on with its messages.
    QString text;
    std::exception_ptr failure;
    QEventLoop waiting;
    const std::unique_ptr<QThread> reader(QThread::create([&] {
        try {
            text = ListFiles::LoadListFileText(path);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    connect(reader.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    reader->start();
    waiting.exec();
    // The wait also ends when the application quits; the reader is bounded
    // by the size limit, so it is simply waited for.
    reader->wait();
    if (failure)
        std::rethrow_exception(failure);
    return text;
}
