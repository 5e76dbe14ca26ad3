// Lists into the report view without stopping the window: every list is read
// and built on one thread of its own, and shown once it is ready: the files
// a run completes at most once a second, then the run's last file, and the
// files the user opens.
#include "ui/report/ListViewLoader.h"

#include "core/WorkerPriority.h"
#include "listfiles/ListFile.h"
#include "presentation/WindowMessages.h"
#include "ui/report/ReportView.h"

#include <QDir>
#include <QTextDocument>
#include <QThread>

#include <atomic>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <exception>
#include <new>
#include <utility>

// One document built on the builder's thread, handed to the window's
// thread through the mailbox; a build never taken deletes its document.
struct TListViewLoader::Build {
    ~Build() { delete document; }
    QTextDocument *document = nullptr;
    std::exception_ptr failure;
    Shown shown;
};

// What the foresight thread builds ahead for a run's last file. Only the
// window's thread touches it once the foresight has handed it over;
// `dropped` lets the foresight skip work nobody waits for any more.
struct TListViewLoader::Foreseen {
    ~Foreseen() { delete document; }
    std::atomic<bool> dropped = false;
    bool delivered = false;
    QFont font;
    std::optional<ListFileHost::WrittenFile> file;
    QTextDocument *document = nullptr;
};

namespace {

// The view of a list file of a run, as the run wrote it.
QTextDocument *BuildWrittenFile(const ListFileHost::WrittenFile &file, const QFont &font)
{
    return TReportView::BuildPlainDocument(ListFiles::ListTextFromBytes(file.header + file.numberLines),
                                           ParagraphAlignment::Centre, 0, font);
}

bool SameFile(const ListFileHost::WrittenFile &a, const ListFileHost::WrittenFile &b)
{
    return a.path == b.path && a.header == b.header && a.numberLines == b.numberLines;
}

} // namespace

TListViewLoader::TListViewLoader(TReportView *view, QObject *parent)
    : QObject(parent), view_(view)
{
    refreshTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, &TListViewLoader::BuildCompleted);
}

TListViewLoader::~TListViewLoader()
{
    // A list still being built holds no pointer into the window, but the
    // threads must end before the window's objects go.
    builder_.Stop();
    foresight_.Stop();
    // Lists built and not shown go with the mailbox's events and with the
    // builds that hold them.
    mailbox_.Clear();
}

TJobThread &TListViewLoader::Builder()
{
#ifdef __GLIBC__
    // A list's text and blocks take a few megabytes each, which malloc
    // would map afresh for every list and unmap when it is freed, and the
    // top of the builder's pool would go back to the system at each free:
    // every list would then fault in all its pages again (a fault costs a
    // few microseconds, much more in a virtual machine). They stay in the
    // pool instead, until malloc_trim gives them back once a run's last
    // list or an opened one shows. The settings hold for the whole
    // process: the run's buffers of completed files are reused the same way.
    if (!std::exchange(tuned_, true)) {
        mallopt(M_MMAP_THRESHOLD, 8 << 20);
        mallopt(M_TRIM_THRESHOLD, 32 << 20);
    }
#endif
    return builder_;
}

void TListViewLoader::Start(Make make, Shown shown)
{
    auto build = std::make_shared<Build>();
    build->shown = std::move(shown);
    building_ = build;
    QThread *const target = thread();
    Builder().Post([this, build, make = std::move(make), target] {
        try {
            build->document = make();
            build->document->moveToThread(target);
        } catch (...) {
            delete std::exchange(build->document, nullptr);
            build->failure = std::current_exception();
        }
        mailbox_.Post([this, build] { Finished(build); });
    });
}

void TListViewLoader::Finished(const std::shared_ptr<Build> &build)
{
    if (building_ == build)
        building_.reset();
    build->shown(std::exchange(build->document, nullptr), build->failure);
    Next();
}

void TListViewLoader::Dispose(QTextDocument *replaced, bool giveBack)
{
    if (!replaced)
        return;
    // Freed on the builder's thread, where it waits for nobody.
    replaced->moveToThread(Builder().Thread());
    Builder().Post([replaced, giveBack] {
        delete replaced;
#ifdef __GLIBC__
        // The list was built in the builder's memory pool: its pages go
        // back once a run's last list or an opened one shows, or the pool
        // would keep the largest list it ever held. Between the lists of a
        // run they stay, for the next list to be built in: pages handed out
        // afresh cost a fault each.
        if (giveBack)
            malloc_trim(0);
#endif
    });
}

void TListViewLoader::Next()
{
    if (building_)
        return;
    if (queued_) {
        std::exchange(queued_, nullptr)();
        return;
    }
    BuildCompleted();
}

void TListViewLoader::Completed(const ListFileHost::WrittenFile &file)
{
    pending_ = file;
    BuildCompleted();
}

void TListViewLoader::BuildCompleted()
{
    // Laying out a list of some 78 000 lines takes about a tenth of a
    // second, so it is built off the window's thread, one list at a time
    // and at most once a second; the view keeps the previous list until
    // the next one is ready, and only ever shows the newest completed file.
    if (!pending_ || building_ || queued_)
        return;
    if (lastBuild_.isValid() && lastBuild_.elapsed() < kRefreshMs) {
        if (!refreshTimer_.isActive())
            refreshTimer_.start(int(kRefreshMs - lastBuild_.elapsed()));
        return;
    }
    lastBuild_.start();
    const ListFileHost::WrittenFile file = *std::exchange(pending_, std::nullopt);
    const QFont font = view_->document()->defaultFont();
    const quint64 token = token_;
    Start([file, font] { return BuildWrittenFile(file, font); },
        [this, token](QTextDocument *document, std::exception_ptr) {
            // Without memory for the list the view keeps what it shows.
            if (token != token_ || !document) {
                delete document;
                return;
            }
            Dispose(view_->ShowDocument(document, ParagraphAlignment::Centre), false);
        });
}

void TListViewLoader::Forget()
{
    ++token_;
    pending_.reset();
    refreshTimer_.stop();
    DropForeseen();
    // A last file waiting for the foresight no longer waits: its `then`
    // still runs, after a build whose view nobody shows.
    if (awaitingForesight_)
        std::exchange(awaitingForesight_, nullptr)();
}

void TListViewLoader::Foresee(Foresight foresee)
{
    DropForeseen();
    auto foreseen = std::make_shared<Foreseen>();
    foreseen->font = view_->document()->defaultFont();
    foreseen_ = foreseen;
    QThread *const target = thread();
    foresight_.Post([this, foreseen, foresee = std::move(foresee), target] {
        std::optional<ListFileHost::WrittenFile> file;
        QTextDocument *document = nullptr;
        if (!foreseen->dropped.load(std::memory_order_relaxed)) {
            try {
                file = foresee();
                if (file)
                    document = BuildWrittenFile(*file, foreseen->font);
            } catch (...) {
                // Without the memory for it, the last file is built once
                // written.
                delete std::exchange(document, nullptr);
            }
        }
        if (document)
            document->moveToThread(target);
        foreseen->document = document;
        foreseen->file = std::move(file);
        mailbox_.Post([this, foreseen] { ForeseenBuilt(foreseen); });
    });
}

void TListViewLoader::ForeseenBuilt(const std::shared_ptr<Foreseen> &foreseen)
{
    foreseen->delivered = true;
    if (foreseen != foreseen_) {
        Dispose(std::exchange(foreseen->document, nullptr), false);
        return;
    }
    if (awaitingForesight_)
        std::exchange(awaitingForesight_, nullptr)();
}

QTextDocument *TListViewLoader::TakeForeseen(const ListFileHost::WrittenFile &file)
{
    const std::shared_ptr<Foreseen> foreseen = std::exchange(foreseen_, nullptr);
    if (!foreseen)
        return nullptr;
    foreseen->dropped.store(true, std::memory_order_relaxed);
    if (!foreseen->delivered)
        return nullptr;
    QTextDocument *const document = std::exchange(foreseen->document, nullptr);
    if (document && SameFile(*foreseen->file, file) && foreseen->font == view_->document()->defaultFont())
        return document;
    Dispose(document, false);
    return nullptr;
}

void TListViewLoader::DropForeseen()
{
    // No file of a run has an empty path: nothing foreseen is taken.
    TakeForeseen(ListFileHost::WrittenFile{});
}

void TListViewLoader::ShowThen(const ListFileHost::WrittenFile &file, std::function<void()> then)
{
    if (foreseen_ && !foreseen_->delivered) {
        awaitingForesight_ = [this, file, then = std::move(then)] { ShowLast(file, then); };
        return;
    }
    ShowLast(file, std::move(then));
}

void TListViewLoader::ShowLast(const ListFileHost::WrittenFile &file, std::function<void()> then)
{
    // The file foreseen shows at once; otherwise a list still being built
    // is dropped first, so that no more than two lists are in memory at
    // once.
    QTextDocument *const foreseen = TakeForeseen(file);
    Forget();
    if (foreseen) {
        Dispose(view_->ShowDocument(foreseen, ParagraphAlignment::Centre), true);
        then();
        return;
    }
    const quint64 token = token_;
    auto show = [this, file, token, then = std::move(then)] {
        const QFont font = view_->document()->defaultFont();
        Start([file, font] { return BuildWrittenFile(file, font); },
            [this, token, then](QTextDocument *document, std::exception_ptr) {
                if (token == token_ && document)
                    Dispose(view_->ShowDocument(document, ParagraphAlignment::Centre), true);
                else
                    delete document;
                then();
            });
    };
    if (building_)
        queued_ = std::move(show);
    else
        show();
}

void TListViewLoader::Open(const QString &path, std::function<void(const QString &message)> done)
{
    view_->Clear();
    loading_ = true;
    auto open = [this, path, done = std::move(done)] {
        const QFont font = view_->document()->defaultFont();
        Start(
            [path, font] {
                return TReportView::BuildPlainDocument(ListFiles::LoadListFileText(path), ParagraphAlignment::Left, 5,
                                                       font);
            },
            [this, path, done](QTextDocument *document, std::exception_ptr failure) {
                loading_ = false;
                QString message;
                try {
                    if (failure)
                        std::rethrow_exception(failure);
                    Dispose(view_->ShowDocument(document, ParagraphAlignment::Left), true);
                } catch (const ListFiles::ListFileSizeError &error) {
                    // Too large to be shown, or more than memory holds: the
                    // file may be fine, so the message says what went wrong,
                    // with its size.
                    message = error.message();
                } catch (const ListFiles::ListFileError &) {
                    // Nothing but the failure to read decides the file type.
                    message = WrongFileTypeMessage();
                } catch (const std::bad_alloc &) {
                    message = NoMemoryToShowMessage(path);
                } catch (const std::exception &) {
                    message = WrongFileTypeMessage();
                }
                if (!message.isEmpty())
                    view_->Clear();
                done(message);
            });
    };
    if (building_)
        queued_ = std::move(open);
    else
        open();
}
