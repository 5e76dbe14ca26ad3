// The main window: its creation, its show, close and drop events, opening
// lists, copy and paste, help and the about box. Its widgets are built in
// MainFormWidgets.cpp, its run control and what the computations see of it
// in MainFormRun.cpp.
#include "ui/window/MainForm.h"

#include "Version.h"

#include "core/ListEstimate.h"
#include "listfiles/ListFile.h"
#include "presentation/WindowMessages.h"
#include "ui/access/Accessibility.h"
#include "ui/access/Announcer.h"
#include "ui/common/Fonts.h"
#include "ui/help/HelpLocator.h"
#include "ui/help/HelpViewer.h"
#include "ui/report/ListViewLoader.h"
#include "ui/common/MessageBoxes.h"
#include "ui/window/NumberFieldFilter.h"
#include "ui/window/AboutBox.h"
#include "ui/report/ReportView.h"
#include "ui/threads/RunController.h"
#include "ui/status/StatusStrip.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    InstallAccessibility();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Tavorine"));
    setFont(TahomaFont(13));

    exeFolder_ = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    desktopFolder_ = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    productName_ = QStringLiteral("Tavorine");
    version_ = QStringLiteral(TAVORINE_VERSION_TEXT);
    helpFile_ = LocateHelpFile(exeFolder_);
    // The first list's estimate would otherwise measure the machine on the
    // window's thread.
    MeasurePaceAhead();
    helpOpener_ = [](const QString &file, unsigned command, unsigned context, QWidget *owner) {
        THelpViewer::htmlHelp(owner, file, THelpViewer::Command(command), context);
    };

    announcer_ = new TAnnouncer(this);
    run_ = new TRunController(this);
    run_->SetHandlers([this](const QString &text) { RunFailed(text); }, [this] { RazFin(); });
    // What a run changes is painted once the run hands something over:
    // a verification that ends at once shows its report, never the empty
    // view and the running state before it.
    run_->SetPaintHold([this](bool held) {
        Editeur->setUpdatesEnabled(!held);
        StatusBar1->setUpdatesEnabled(!held);
    });

    numberFilter_ = new TNumberFieldFilter(this);
    connect(numberFilter_, &TNumberFieldFilter::StartRequested, this, &TMainForm::ButtonDemarrerClick);
    connect(numberFilter_, &TNumberFieldFilter::FilesDropped, this, &TMainForm::OpenDroppedFiles);

    createActions();
    createMenus();
    createCommandPanel();
    createPages();
    createReportView();
    createStatusStrip();
    createPopupMenu1();
    createDialogs();
    createFocusOrder();
    // The list's thread reads "Sep. milliers" at each of its checkpoints.
    sepMilliers_->store(CBSepMilliers->isChecked());
    connect(CBSepMilliers, &QCheckBox::toggled, this, [this](bool on) { sepMilliers_->store(on); });

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PanelCommandes);
    layout->addWidget(Editeur, 1);
    setCentralWidget(central);

    resize(774, 531);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TMainForm::ShowPopupMenu(QWidget *control, const QPoint &position)
{
    // The text view's viewport reports the click; both map the same way.
    const QWidget *origin = control == Editeur ? Editeur->viewport() : control;
    PopupMenu1->popup(origin->mapToGlobal(position));
}

TMainForm::~TMainForm()
{
    // The computation shows itself through this window: it ends first.
    run_->StopAndWait();
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMainForm::FormShow()
{
    setAcceptDrops(true);
    SetProgressBar(100, 0);
    PageControl1->setCurrentWidget(TabVerification);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TMainForm::FormClose()
{
    setAcceptDrops(false);
}

void TMainForm::PageChanged(int)
{
    // Each page's show handler resets the view and the status panels, also
    // while a run goes on.
    RazDebut();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Editeur && IsWholeTextClipboardKey(event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::RefuseWhileRunning()
{
    // The file being loaded shows once it is ready; a second request meanwhile
    // is not queued behind it.
    if (listLoader_->Loading())
        return true;
    if (run_->Idle())
        return false;
    AfficherMessage(mtInformation, StopRunFirstMessage(), this);
    return true;
}

void TMainForm::ButtonOuvrirClick()
{
    if (RefuseWhileRunning())
        return;
    RazDebut();
    // The dialog keeps the file chosen the time before.
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    LoadListFile(OpenDialog1->selectedFiles().constFirst());
}

void TMainForm::OuvrirFichierDirect(const QString &path)
{
    if (RefuseWhileRunning())
        return;
    RazDebut();
    LoadListFile(path);
}

void TMainForm::LoadListFile(const QString &path)
{
    listLoader_->Open(path, [this](const QString &message) {
        if (!message.isEmpty())
            AfficherMessage(mtInformation, message, this);
        if (!toOpen_.isEmpty())
            OuvrirFichierDirect(toOpen_.takeFirst());
    });
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (HoldsLocalFiles(event->mimeData()))
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    OpenDroppedFiles(event->mimeData());
}

void TMainForm::OpenDroppedFiles(const QMimeData *data)
{
    // The paths are taken whole, and every dropped file is handled in turn,
    // each with its own refusal or error.
    QStringList paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    for (const QString &path : paths) {
        // A file still being read is shown before the next one is read.
        if (listLoader_->Loading())
            toOpen_ << path;
        else
            OuvrirFichierDirect(path);
    }
}

QWidget *TMainForm::ClipboardControl() const
{
    QWidget *focused = focusWidget();
    const QList<QWidget *> controls = {Editeur, EditVerification, EditRechercheDebut, EditRechercheFin,
                                       EditDecomposition};
    return controls.contains(focused) ? focused : nullptr;
}

void TMainForm::MenuCopierClick()
{
    QWidget *control = ClipboardControl();
    if (!control)
        return;
    const QString text = control == Editeur ? Editeur->toPlainText() : static_cast<QLineEdit *>(control)->text();
    QGuiApplication::clipboard()->setText(text);
}

void TMainForm::MenuCollerClick()
{
    QWidget *control = ClipboardControl();
    if (!control)
        return;
    // Pasted text is taken as it is: neither the digit filter nor the
    // digit limit applies to it.
    const QString text = QGuiApplication::clipboard()->text();
    if (control == Editeur)
        Editeur->ReplaceText(text);
    else
        static_cast<QLineEdit *>(control)->setText(text);
}

bool TMainForm::HelpChm(unsigned command, unsigned data)
{
    if (command == kHelpContextCommand)
        helpOpener_(helpFile_, THelpViewer::HH_HELP_CONTEXT, data, nullptr);
    return true;
}

void TMainForm::ButtonAideClick()
{
    helpOpener_(helpFile_, THelpViewer::HH_HELP_CONTEXT, kHelpIndexContext, this);
}

void TMainForm::AboutButtonClick()
{
    TAboutBox box(productName_, version_, this);
    box.exec();
}

void TMainForm::ButtonFermerClick()
{
    close();
}
