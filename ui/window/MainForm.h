// The main window: the three task pages, the start and stop buttons, the
// report view and the status strip, and the run control behind them.
#pragma once

#include "core/Factorisation.h"
#include "core/Generation.h"
#include "core/Verification.h"
#include "presentation/InlineRun.h"
#include "presentation/NumberText.h"

#include <QMainWindow>

#include <atomic>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QFileDialog;
class QMenu;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QKeyEvent;
class QInputMethodEvent;
class QMimeData;
class TAnnouncer;
class TDesktopSignals;
class TListViewLoader;
class TNumberFieldFilter;
class TReportView;
class TRunController;
class TStatusStrip;

class TMainForm : public QMainWindow, public ListDialogs
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    bool TraitementEnCours() const;
    // A list file opened is being read and laid out.
    bool LoadingList() const;

    // The engines the window runs on its worker thread; tests put fakes
    // here whose checkpoints they release one at a time.
    struct Engines {
        std::function<VerificationResult(qint64, StopToken &, const VerificationProgress &)> verify = Verify;
        std::function<FactorisationResult(qint64, StopToken &, const FactorisationEvents &)> factorise = Factorise;
        std::function<ListResult(ListHost &, const ListRequest &, StopToken &, const ListProgressFn &)> generate =
            GenerateList;
    };
    void SetEngines(Engines engines) { engines_ = std::move(engines); }

    // How a help request reaches the help viewer: the help file, the HTML
    // help command, the context number and the owner window (none for
    // requests that come from a key). Tests put a recorder here.
    using HelpOpener = std::function<void(const QString &helpFile, unsigned command, unsigned context, QWidget *owner)>;
    void SetHelpOpener(HelpOpener opener) { helpOpener_ = std::move(opener); }
    QString HelpFile() const { return helpFile_; }

    // The application-wide help handler: a context request (command 1)
    // opens the topic of that context number; other requests show nothing.
    bool HelpChm(unsigned command, unsigned data);

    QString ProductName() const { return productName_; }
    QString Version() const { return version_; }

    // Progress operations of the status strip.
    void SetProgressBar(qint64 maximum, qint64 minimum);

    // What a run shows.
    void SetReportAlignment(ParagraphAlignment alignment) override;
    void AddReportLine(const QString &text, LineStyle style = LineStyle::Normal) override;
    void SetElapsedText(const QString &text) override;
    void SetPercentText(const QString &text) override;
    void SetStateText(const QString &text) override;
    void SetBarPosition(int position) override;
    // The bar at any position, kept at the nearest end of its range.
    void UpdateProgressBar(qint64 position);
    // The stop was confirmed and the computation is ending.
    bool ArretDemande() const;
    void RazFin() override;

    // The list's dialogs and messages.
    std::optional<QString> ChooseFirstFile(const QString &proposedName) override;
    bool VerifierSiEcrasementFichier(const QString &path) override;
    void Inform(const QString &text) override;
    bool AskToResume(qint64 file) override;
    bool AskToStartLongList(const QString &text) override;
    // The list file that most recently received its header; kept between
    // runs.
    QString DernierFichierTermine() const { return dernierFichierTermine_; }

    bool EcrasementRefuse() const { return ecrasementRefuse_; }

    // Opening a list file without a dialog, as a drop does.
    void OuvrirFichierDirect(const QString &path);

public slots:
    void ButtonDemarrerClick();
    void ButtonStopClick();
    void RazDebut();
    void ButtonAideClick();
    void AboutButtonClick();
    void ButtonFermerClick();
    void MenuCopierClick();
    void MenuCollerClick();
    void ButtonOuvrirClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createCommandPanel();
    void createPages();
    void createReportView();
    void createStatusStrip();
    void createFocusOrder();
    void createActions();
    void createMenus();
    void createPopupMenu1();
    void createDialogs();
    void LoadListFile(const QString &path);
    bool RefuseWhileRunning();
    QAction *createAction(const QString &name, const QString &text, const QString &icon);
    QWidget *ClipboardControl() const;
    void ShowPopupMenu(QWidget *control, const QPoint &position);
    QLineEdit *createNumberField(QWidget *page, QLabel *label, const QString &name, const QString &text, int left);
    QLabel *createLabel(QWidget *page, const QString &name, const QString &text, int left);

    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void PageChanged(int index);
    void OpenDroppedFiles(const QMimeData *data);
    bool AskToStop();
    void EndRun();
    void RunFailed(const QString &text);
    // Tells a screen reader what the report and the state panel now say.
    void AnnounceReport();

    void Verifier(qint64 n);
    void Decomposer(qint64 n);
    void Generer(qint64 first, qint64 last);
    // The remaining time in the title and the taskbar progress of a list,
    // and what its end leaves on the desktop.
    void ShowListRemaining(const ListRequest &request, const ListProgress &progress);
    void EndListSignals(const ListResult *finished);

    // The code of a context request; the window's context is the help
    // file's index page, kHelpIndexContext.
    static constexpr unsigned kHelpContextCommand = 1;

    // Run state.
    TRunController *run_ = nullptr;
    Engines engines_;
    // "Sep. milliers" as the list's thread reads it at each checkpoint.
    std::shared_ptr<std::atomic<bool>> sepMilliers_ = std::make_shared<std::atomic<bool>>(false);
    // The thousands separator of this session's lists and messages.
    SessionSeparator separator_;
    QString dernierFichierTermine_;
    // The taskbar entry and notifications; the title a list run restores.
    TDesktopSignals *desktop_ = nullptr;
    QString restoredTitle_;
    // What a screen reader hears at the end of a run.
    TAnnouncer *announcer_ = nullptr;
    // Dropped files waiting for the one being read.
    QStringList toOpen_;
    bool ecrasementRefuse_ = false;

    // Identity and folders, determined at creation.
    QString exeFolder_;
    QString desktopFolder_;
    QString helpFile_;
    // Lists into the view: those a run completes and those opened.
    TListViewLoader *listLoader_ = nullptr;
    QString productName_;
    QString version_;
    HelpOpener helpOpener_;

    QWidget *PanelCommandes = nullptr;
    QFrame *PanelCommandesLeft = nullptr;
    QPushButton *ButtonDemarrer = nullptr;
    QPushButton *ButtonStop = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabVerification = nullptr;
    QWidget *TabRecherche = nullptr;
    QWidget *TabDecomposition = nullptr;
    QLineEdit *EditVerification = nullptr;
    QLineEdit *EditRechercheDebut = nullptr;
    QLineEdit *EditRechercheFin = nullptr;
    QLineEdit *EditDecomposition = nullptr;
    QCheckBox *CBSepMilliers = nullptr;
    TReportView *Editeur = nullptr;
    TStatusStrip *StatusBar1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;

    QAction *MenuOuvrir = nullptr;
    QAction *MenuQuitter = nullptr;
    QAction *MenuIndexAide = nullptr;
    QAction *MenuAbout = nullptr;
    QAction *MenuCopier = nullptr;
    QAction *MenuColler = nullptr;
    QAction *HelpKey = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QFileDialog *SaveDialog1 = nullptr;
    QFileDialog *OpenDialog1 = nullptr;
    TNumberFieldFilter *numberFilter_ = nullptr;
};
