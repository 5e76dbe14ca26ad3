// The main window: the three task pages, the start and stop buttons, the
// report view and the status strip, and the run control behind them.
#include "ui/ReMainForm.h"

#include "core/CommandError.h"
#include "core/Generation.h"
#include "core/Factorisation.h"
#include "core/NumberText.h"
#include "listfiles/ListFile.h"
#include "core/NumberEntry.h"
#include "core/Verification.h"
#include "ui/Fonts.h"
#include "ui/HelpLocator.h"
#include "ui/HelpViewer.h"
#include "ui/MessageBoxes.h"
#include "ui/ReAbout.h"
#include "ui/ReportView.h"
#include "ui/StatusStrip.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QThread>
#include <QVBoxLayout>
#include <QEventLoop>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <utility>
#include <limits>

namespace {

const QString kProcessusEnCours = QStringLiteral("Processus en cours. Arrêter ?");
// The window's help context, and the code of a context request.
constexpr unsigned kHelpContext = 1000;
constexpr unsigned kHelpContextCommand = 1;

class TightTabStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

int ClampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Tavorine"));
    setFont(TahomaFont(13));

    exeFolder_ = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    desktopFolder_ = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    productName_ = QStringLiteral("Tavorine");
    version_ = QStringLiteral("2.0");
    helpFile_ = LocateHelpFile(exeFolder_);
    helpOpener_ = [](const QString &file, unsigned command, unsigned context, QWidget *owner) {
        THelpViewer::htmlHelp(owner, file, THelpViewer::Command(command), context);
    };

    createActions();
    createMenus();
    createCommandPanel();
    createPages();
    createReportView();
    createStatusStrip();
    createPopupMenu1();
    createDialogs();
    createFocusOrder();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PanelCommandes);
    layout->addWidget(Editeur, 1);
    setCentralWidget(central);

    resize(774, 531);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(790 / 2, 570 / 2));
}

QAction *TMainForm::createAction(const QString &name, const QString &text, const QString &icon)
{
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    if (!icon.isEmpty())
        action->setIcon(QIcon(QStringLiteral(":/images/%1.svg").arg(icon)));
    return action;
}

void TMainForm::createActions()
{
    MenuOuvrir = createAction(QStringLiteral("MenuOuvrir"), QStringLiteral("Ouvrir un fichier de nombres premiers"),
                              QStringLiteral("ouvrir"));
    connect(MenuOuvrir, &QAction::triggered, this, &TMainForm::ButtonOuvrirClick);
    MenuQuitter = createAction(QStringLiteral("MenuQuitter"), QStringLiteral("Quitter"), QStringLiteral("quitter"));
    connect(MenuQuitter, &QAction::triggered, this, &TMainForm::ButtonFermerClick);
    MenuIndexAide = createAction(QStringLiteral("MenuIndexAide"), QStringLiteral("Index de l'aide"), QStringLiteral("aide"));
    connect(MenuIndexAide, &QAction::triggered, this, &TMainForm::ButtonAideClick);
    MenuAbout = createAction(QStringLiteral("MenuAbout"), QStringLiteral("A propos de..."), QStringLiteral("apropos"));
    connect(MenuAbout, &QAction::triggered, this, &TMainForm::AboutButtonClick);

    // The pop-up menu's keys work anywhere in the window, before the
    // focused control's own clipboard keys (see eventFilter).
    MenuCopier = createAction(QStringLiteral("MenuCopier"), QStringLiteral("Copier"), QStringLiteral("copier"));
    MenuCopier->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(MenuCopier, &QAction::triggered, this, &TMainForm::MenuCopierClick);
    MenuColler = createAction(QStringLiteral("MenuColler"), QStringLiteral("Coller"), QStringLiteral("coller"));
    MenuColler->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(MenuColler, &QAction::triggered, this, &TMainForm::MenuCollerClick);
    addAction(MenuCopier);
    addAction(MenuColler);

    // F1 anywhere in the window asks for the window's help context.
    HelpKey = createAction(QStringLiteral("HelpKey"), QString(), QString());
    HelpKey->setShortcut(QKeySequence(Qt::Key_F1));
    connect(HelpKey, &QAction::triggered, this, [this] { HelpChm(kHelpContextCommand, kHelpContext); });
    addAction(HelpKey);
}

void TMainForm::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *fichier = bar->addMenu(QStringLiteral("Fichier"));
    fichier->setObjectName(QStringLiteral("MenuFichier"));
    fichier->addAction(MenuOuvrir);
    fichier->addSeparator()->setObjectName(QStringLiteral("N1"));
    fichier->addAction(MenuQuitter);
    QMenu *aide = bar->addMenu(QStringLiteral("Aide"));
    aide->setObjectName(QStringLiteral("MenuAide"));
    aide->addAction(MenuIndexAide);
    aide->addSeparator()->setObjectName(QStringLiteral("N2"));
    aide->addAction(MenuAbout);
}

void TMainForm::createPopupMenu1()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(MenuCopier);
    PopupMenu1->addAction(MenuColler);
    const QList<QWidget *> owners = {this, Editeur, EditVerification, EditRechercheDebut, EditRechercheFin,
                                     EditDecomposition};
    for (QWidget *owner : owners) {
        owner->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(owner, &QWidget::customContextMenuRequested, this,
                [this, owner](const QPoint &position) { ShowPopupMenu(owner, position); });
    }
    Editeur->installEventFilter(this);
}

void TMainForm::createDialogs()
{
    // Each caption is shown as written, its pattern list hidden: "(*.*)" reads
    // as "every file" to the user, while the pattern that matches every name
    // on this system is "*".
    const QStringList filters = {QStringLiteral("Fichiers texte (.txt) (*.txt)"),
                                 QStringLiteral("Tous les fichiers (*.*) (*)")};

    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setOption(QFileDialog::DontUseNativeDialog);
    // The program asks its own question before replacing a file.
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite);
    SaveDialog1->setOption(QFileDialog::HideNameFilterDetails);
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setNameFilters(filters);
    SaveDialog1->setDefaultSuffix(QStringLiteral("txt"));

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setOption(QFileDialog::HideNameFilterDetails);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setNameFilters(filters);
    OpenDialog1->setDefaultSuffix(QStringLiteral("txt"));
}

void TMainForm::ShowPopupMenu(QWidget *control, const QPoint &position)
{
    // The text view's viewport reports the click; both map the same way.
    const QWidget *origin = control == Editeur ? Editeur->viewport() : control;
    PopupMenu1->popup(origin->mapToGlobal(position));
}

TMainForm::~TMainForm()
{
    // A list still being built holds no pointer into the window, but its
    // thread must end before the window's objects go.
    if (vueThread_) {
        vueThread_->quit();
        vueThread_->wait();
    }
}

void TMainForm::createCommandPanel()
{
    PanelCommandes = new QWidget(this);
    PanelCommandes->setObjectName(QStringLiteral("PanelCommandes"));
    PanelCommandes->setFixedHeight(61);

    PanelCommandesLeft = new QFrame(PanelCommandes);
    PanelCommandesLeft->setObjectName(QStringLiteral("PanelCommandesLeft"));
    PanelCommandesLeft->setFixedWidth(201);
    PanelCommandesLeft->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelCommandesLeft->setLineWidth(1);
    PanelCommandesLeft->setAutoFillBackground(true);
    QPalette silver = PanelCommandesLeft->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    PanelCommandesLeft->setPalette(silver);

    ButtonDemarrer = new QPushButton(QIcon(QStringLiteral(":/images/demarrer.svg")),
                                     QStringLiteral("Démarrer"), PanelCommandesLeft);
    ButtonDemarrer->setObjectName(QStringLiteral("ButtonDemarrer"));
    ButtonDemarrer->setGeometry(17, 12, 128, 38);
    ButtonDemarrer->setIconSize(QSize(24, 24));
    connect(ButtonDemarrer, &QPushButton::clicked, this, &TMainForm::ButtonDemarrerClick);

    ButtonStop = new QPushButton(QIcon(QStringLiteral(":/images/stop.svg")), QString(), PanelCommandesLeft);
    ButtonStop->setObjectName(QStringLiteral("ButtonStop"));
    ButtonStop->setGeometry(145, 12, 40, 38);
    ButtonStop->setIconSize(QSize(24, 24));
    ButtonStop->setToolTip(QString());
    connect(ButtonStop, &QPushButton::clicked, this, &TMainForm::ButtonStopClick);

    PageControl1 = new QTabWidget(PanelCommandes);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setIconSize(QSize(16, 16));
    // Tabs as tight as a classic tab control, so the three captions fit the
    // width the window opens with.
    auto *tightTabs = new TightTabStyle;
    tightTabs->setParent(PageControl1);
    PageControl1->tabBar()->setStyle(tightTabs);

    auto *layout = new QHBoxLayout(PanelCommandes);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PanelCommandesLeft);
    layout->addWidget(PageControl1, 1);
}

QLabel *TMainForm::createLabel(QWidget *page, const QString &name, const QString &text, int left)
{
    auto *label = new QLabel(text, page);
    label->setObjectName(name);
    label->move(left, 8);
    label->adjustSize();
    return label;
}

QLineEdit *TMainForm::createNumberField(QWidget *page, const QString &name, const QString &text, int left)
{
    auto *field = new QLineEdit(text, page);
    field->setObjectName(name);
    field->setGeometry(left, 3, 140, 24);
    field->installEventFilter(this);
    return field;
}

void TMainForm::createPages()
{
    TabVerification = new QWidget;
    TabVerification->setObjectName(QStringLiteral("TabVerification"));
    createLabel(TabVerification, QStringLiteral("Label1"), QStringLiteral("Vérifier le nombre :"), 6);
    EditVerification = createNumberField(TabVerification, QStringLiteral("EditVerification"), QStringLiteral("1"), 127);

    TabRecherche = new QWidget;
    TabRecherche->setObjectName(QStringLiteral("TabRecherche"));
    createLabel(TabRecherche, QStringLiteral("LabelEdit1"), QStringLiteral("Chercher de :"), 6);
    EditRechercheDebut = createNumberField(TabRecherche, QStringLiteral("EditRechercheDebut"), QStringLiteral("1"), 92);
    createLabel(TabRecherche, QStringLiteral("LabelEdit2"), QStringLiteral("jusqu'à :"), 240);
    EditRechercheFin = createNumberField(TabRecherche, QStringLiteral("EditRechercheFin"), QStringLiteral("10000"), 298);
    EditRechercheFin->setToolTip(QStringLiteral("Entrez le nombre de fin de recherche"));
    CBSepMilliers = new QCheckBox(QStringLiteral("Sep. milliers"), TabRecherche);
    CBSepMilliers->setObjectName(QStringLiteral("CBSepMilliers"));
    CBSepMilliers->setGeometry(456, 8, 97, 17);
    CBSepMilliers->setChecked(true);

    TabDecomposition = new QWidget;
    TabDecomposition->setObjectName(QStringLiteral("TabDecomposition"));
    createLabel(TabDecomposition, QStringLiteral("Label2"), QStringLiteral("Décomposer le nombre :"), 6);
    EditDecomposition = createNumberField(TabDecomposition, QStringLiteral("EditDecomposition"), QStringLiteral("1"), 154);

    PageControl1->addTab(TabVerification, QIcon(QStringLiteral(":/images/tab_verification.svg")),
                         QStringLiteral("Vérification de primalité"));
    PageControl1->addTab(TabRecherche, QIcon(QStringLiteral(":/images/tab_recherche.svg")),
                         QStringLiteral("Recherche de nombres premiers"));
    PageControl1->addTab(TabDecomposition, QIcon(QStringLiteral(":/images/tab_decomposition.svg")),
                         QStringLiteral("Décomposition d'entiers"));
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::PageChanged);
}

void TMainForm::createReportView()
{
    Editeur = new TReportView(this);
}

void TMainForm::createStatusStrip()
{
    StatusBar1 = new TStatusStrip(this);
    ProgressBar1 = StatusBar1->ProgressBar();
    setStatusBar(StatusBar1);
}

void TMainForm::createFocusOrder()
{
    setTabOrder(PageControl1, EditVerification);
    setTabOrder(EditVerification, EditRechercheDebut);
    setTabOrder(EditRechercheDebut, EditRechercheFin);
    setTabOrder(EditRechercheFin, CBSepMilliers);
    setTabOrder(CBSepMilliers, EditDecomposition);
    setTabOrder(EditDecomposition, ButtonDemarrer);
    setTabOrder(ButtonDemarrer, ButtonStop);
    setTabOrder(ButtonStop, Editeur);
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

bool TMainForm::FormCloseQuery()
{
    if (!traitementEnCours_)
        return true;
    if (!DemanderConfirmation(mtWarning, kProcessusEnCours, this))
        return false;
    arretDemande_ = true;
    SetBarPosition(0);
    return true;
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

void TMainForm::ButtonDemarrerClick()
{
    if (traitementEnCours_ || chargementEnCours_)
        return;
    RazDebut();
    SaveDialog1->selectFile(QString());
    SetProgressBar(100, 0);
    traitementEnCours_ = true;
    derniereVue_.invalidate();
    try {
        // The page in front now decides the one computation of this start. A
        // page brought to the front while it pumps messages only empties the
        // view: once a stopped computation has called RazFin the window is
        // idle, and a second computation would run unguarded (even in a
        // window closed meanwhile).
        QWidget *const page = PageControl1->currentWidget();
        if (page == TabRecherche) {
            const qint64 first = ConvertirNombre(EditRechercheDebut->text());
            const qint64 last = ConvertirNombre(EditRechercheFin->text());
            if (!RangeHoldsAtLeast(first, last, 10)) {
                AfficherMessage(mtInformation, QStringLiteral("Demandez au minimum 10 nombres premiers."), this);
                traitementEnCours_ = false;
                return;
            }
            Generer(first, last);
        } else if (page == TabVerification) {
            Verifier(ConvertirNombre(EditVerification->text()));
        } else if (page == TabDecomposition) {
            Decomposer(ConvertirNombre(EditDecomposition->text()));
        }
    } catch (const CommandError &error) {
        // The window is idle again before the box shows, so the next start
        // is accepted.
        traitementEnCours_ = false;
        AfficherErreur(error.text(), this);
        return;
    }
    traitementEnCours_ = false;
}

void TMainForm::ButtonStopClick()
{
    if (!traitementEnCours_)
        return;
    if (DemanderConfirmation(mtWarning, kProcessusEnCours, this)) {
        arretDemande_ = true;
        SetBarPosition(0);
    }
}

void TMainForm::RazDebut()
{
    // Outside a run, a list being built for the view no longer matters.
    if (!traitementEnCours_) {
        ++vueToken_;
        vueEnAttente_.reset();
    }
    Editeur->Clear();
    for (int panel = PanelTemps; panel <= PanelEtat; ++panel)
        StatusBar1->SetPanelText(panel, QString());
    SetBarPosition(0);
}

void TMainForm::RazFin()
{
    // A stopped run leaves the view as it was.
    ++vueToken_;
    vueEnAttente_.reset();
    traitementEnCours_ = false;
    ecrasementRefuse_ = false;
    arretDemande_ = false;
    StatusBar1->SetPanelText(PanelEtat, QString());
    SetBarPosition(0);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Line edits and the text view claim Ctrl+C and Ctrl+V for their
        // selection; left unclaimed, the keys reach Copier and Coller.
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeyCombination combination = key->keyCombination();
        if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_C)
            || combination == QKeyCombination(Qt::ControlModifier, Qt::Key_V))
            return true;
    }
    auto *field = watched != Editeur ? qobject_cast<QLineEdit *>(watched) : nullptr;
    if (field) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return EditNombreKeyPress(field, static_cast<QKeyEvent *>(event));
        case QEvent::InputMethod:
            return EditNombreInputMethod(field, static_cast<QInputMethodEvent *>(event));
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return EditNombreDrop(field, static_cast<QDropEvent *>(event));
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::EditNombreKeyPress(QLineEdit *field, QKeyEvent *event)
{
    QChar key;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        key = KeyEnter;
    } else if (event->key() == Qt::Key_Backspace) {
        key = KeyBackspace;
    } else {
        // Keys that type no character (arrows, Delete, Tab, Escape, F1) and
        // the Ctrl shortcuts pass untouched. Any other key with a text is
        // one the field would insert, Alt, Meta and AltGr included (the rule
        // of QLineEdit itself), so it goes through the filter.
        const QString text = event->text();
        if (text.isEmpty() || text[0].category() == QChar::Other_Control)
            return false;
        const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
        if (text[0].category() != QChar::Other_Format
            && (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier)))
            return false;
        if (text.size() > 1) {
            // A key that types several characters at once, as a compose
            // sequence may: its digits are kept.
            const SaisieFiltree filtered = FiltrerSaisie(text, int(field->selectedText().size()), int(field->text().size()));
            if (!filtered.kept.isEmpty())
                field->insert(filtered.kept);
            if (filtered.limitReached)
                AfficherMessage(mtInformation, MessageLimiteChiffres(), this);
            return true;
        }
        key = text[0];
    }

    switch (FiltrerTouche(key, field->hasSelectedText(), int(field->text().size()))) {
    case KeyVerdict::Start:
        ButtonDemarrerClick();
        return true;
    case KeyVerdict::Accept:
        return false;
    case KeyVerdict::Discard:
        return true;
    case KeyVerdict::DiscardWithLimit:
        AfficherMessage(mtInformation, MessageLimiteChiffres(), this);
        return true;
    }
    return false;
}

bool TMainForm::EditNombreInputMethod(QLineEdit *field, QInputMethodEvent *event)
{
    // Text composed by an input method (a dead key, a compose sequence)
    // arrives here rather than as a key, and follows the same rules. The
    // text being composed is only shown; what is committed is filtered.
    const QString commit = event->commitString();
    if (commit.isEmpty())
        return false;
    const SaisieFiltree filtered = FiltrerSaisie(commit, int(field->selectedText().size()), int(field->text().size()));
    if (filtered.kept == commit)
        return false;
    QInputMethodEvent kept(event->preeditString(), event->attributes());
    kept.setCommitString(filtered.kept, event->replacementStart(), event->replacementLength());
    QCoreApplication::sendEvent(field, &kept);
    if (filtered.limitReached)
        AfficherMessage(mtInformation, MessageLimiteChiffres(), this);
    return true;
}

bool TMainForm::EditNombreDrop(QLineEdit *field, QDropEvent *event)
{
    // Files dropped onto a field open as they do anywhere on the window.
    if (HasLocalFiles(event->mimeData())) {
        event->acceptProposedAction();
        if (event->type() == QEvent::Drop)
            OuvrirFichiersDeposes(event->mimeData());
        return true;
    }
    // Dropped text is taken only when it is digits that fit within the
    // limit; anything else is refused whole, as the drag's cursor shows.
    const QString text = event->mimeData()->hasText() ? event->mimeData()->text() : QString();
    const bool digits = !text.isEmpty()
                        && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (digits && field->text().size() + text.size() <= NombreChiffresMax)
        return false;
    event->ignore();
    return true;
}

void TMainForm::SetProgressBar(qint64 maximum, qint64 minimum)
{
    if (maximum <= 0)
        return;
    ProgressBar1->setMaximum(ClampToInt(maximum));
    ProgressBar1->setMinimum(ClampToInt(minimum));
}

void TMainForm::UpdateProgressBar(qint64 position)
{
    // QProgressBar ignores a value outside its range; the bar this window
    // stands for keeps it at the nearest end instead.
    const qint64 kept = std::clamp<qint64>(position, ProgressBar1->minimum(), ProgressBar1->maximum());
    SetBarPosition(int(kept));
}

void TMainForm::SetBarPosition(int position)
{
    if (ProgressBar1->value() == position)
        return;
    // QProgressBar paints itself at once on every visible change; a run may
    // move it thousands of times a second, so the painting is left to the
    // next time messages are handled.
    ProgressBar1->setUpdatesEnabled(false);
    ProgressBar1->setValue(position);
    ProgressBar1->setUpdatesEnabled(true);
}

int TMainForm::ProgressPosition() const
{
    return ProgressBar1->value();
}

void TMainForm::SetReportAlignment(ParagraphAlignment alignment)
{
    Editeur->SetAlignment(alignment);
}

void TMainForm::AddReportLine(const QString &text, LineStyle style)
{
    Editeur->AddLine(text, style);
}

void TMainForm::SetPanelText(int panel, const QString &text)
{
    StatusBar1->SetPanelText(panel, text);
}

void TMainForm::ProcessMessages()
{
    // A checkpoint may come every few hundred microseconds; repainting the
    // window that often would cost more than the computation itself, while
    // a few milliseconds between two looks at the event queue are not felt.
    if (pumpClock_.isValid() && pumpClock_.nsecsElapsed() < kPumpIntervalNs)
        return;
    MettreAJourVue();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    pumpClock_.start();
}

void TMainForm::Verifier(qint64 n)
{
    ::Verifier(*this, n);
}

void TMainForm::Decomposer(qint64 n)
{
    ::Decomposer(*this, n);
}

void TMainForm::Generer(qint64 first, qint64 last)
{
    ::Generer(*this, first, last, EditRechercheDebut->text(), EditRechercheFin->text());
}

bool TMainForm::SepMilliers() const
{
    return CBSepMilliers->isChecked();
}

std::optional<QString> TMainForm::ChoisirPremierFichier(const QString &proposedName)
{
    // Many accounts have no desktop folder; the dialog would then open in
    // whatever folder the program was started from.
    SaveDialog1->setDirectory(QFileInfo(desktopFolder_).isDir() ? desktopFolder_ : QDir::homePath());
    SaveDialog1->selectFile(proposedName);
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return std::nullopt;
    return SaveDialog1->selectedFiles().constFirst();
}

bool TMainForm::VerifierSiEcrasementFichier(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    const QString question = QStringLiteral("%1 existe déjà. Voulez-vous le remplacer ?").arg(QDir::toNativeSeparators(path));
    ecrasementRefuse_ = !DemanderRemplacement(question, this);
    return ecrasementRefuse_;
}

void TMainForm::FichierTermine(const QString &path)
{
    if (LastWritten().path == path)
        vueEnAttente_ = LastWritten();
    MettreAJourVue();
}

void TMainForm::MettreAJourVue()
{
    // Laying out a list of some 78 000 lines takes about a tenth of a
    // second, so it is built off this thread, one list at a time and at most
    // twice a second; the view keeps the previous list until the next one is
    // ready, and only ever shows the newest completed file.
    if (!vueEnAttente_ || !traitementEnCours_ || vuesEnCours_ > 0)
        return;
    if (derniereVue_.isValid() && derniereVue_.elapsed() < kViewRefreshMs)
        return;
    derniereVue_.start();
    ConstruireVue(*std::exchange(vueEnAttente_, std::nullopt), vueToken_);
}

void TMainForm::ConstruireVue(const WrittenFile &file, quint64 token)
{
    // One thread builds every list, so that the memory of one list is
    // reused for the next.
    if (!vueThread_) {
        vueThread_ = new QThread(this);
        vueBuilder_ = new QObject;
        vueBuilder_->moveToThread(vueThread_);
        connect(vueThread_, &QThread::finished, vueBuilder_, &QObject::deleteLater);
        vueThread_->start();
    }
    ++vuesEnCours_;
    const QFont font = Editeur->document()->defaultFont();
    QThread *const target = thread();
    QMetaObject::invokeMethod(
        vueBuilder_,
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
            QMetaObject::invokeMethod(this, [this, document, token] { VueConstruite(document, token); },
                                      Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void TMainForm::VueConstruite(QTextDocument *document, quint64 token)
{
    --vuesEnCours_;
    if (token != vueToken_) {
        delete document;
        return;
    }
    if (document)
        Editeur->ShowDocument(document, ParagraphAlignment::Centre);
    if (token == vueAttendue_)
        vueAttendue_ = 0;
    else
        MettreAJourVue();
}

void TMainForm::AfficherFichier(const QString &path)
{
    vueEnAttente_.reset();
    if (LastWritten().path != path) {
        try {
            Editeur->LoadPlainText(ListFiles::LoadListFileText(path), ParagraphAlignment::Centre);
        } catch (const ListFiles::ListFileError &error) {
            throw CommandError(error.message());
        }
        return;
    }
    // The last list is built off this thread too; the window goes on
    // painting and handling its timers meanwhile, and what the user types
    // or clicks waits until the list shows, as the run's end has come.
    // A list still being built for the view is waited for and dropped
    // first, so that no more than two lists are in memory at once.
    ++vueToken_;
    while (vuesEnCours_ > 0)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    vueAttendue_ = ++vueToken_;
    ConstruireVue(LastWritten(), vueAttendue_);
    while (vueAttendue_ != 0)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

void TMainForm::Informer(const QString &text)
{
    AfficherMessage(mtInformation, text, this);
}

bool TMainForm::RefuserPendantTraitement()
{
    // The file being loaded shows once it is ready; a second request meanwhile
    // is not queued behind it.
    if (chargementEnCours_)
        return true;
    if (!traitementEnCours_)
        return false;
    AfficherMessage(mtInformation, QStringLiteral("Vous devez arrêter le processus en cours d'abord (bouton \"Arrêter\")"),
                    this);
    return true;
}

void TMainForm::ButtonOuvrirClick()
{
    if (RefuserPendantTraitement())
        return;
    RazDebut();
    // The dialog keeps the file chosen the time before.
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    ChargerFichier(OpenDialog1->selectedFiles().constFirst());
}

void TMainForm::OuvrirFichierDirect(const QString &path)
{
    if (RefuserPendantTraitement())
        return;
    RazDebut();
    ChargerFichier(path);
}

void TMainForm::ChargerFichier(const QString &path)
{
    Editeur->Clear();
    chargementEnCours_ = true;
    const auto fin = qScopeGuard([this] { chargementEnCours_ = false; });
    QString message;
    try {
        Editeur->LoadPlainText(LireFichierSansBloquer(path), ParagraphAlignment::Left, 5,
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
    if (!message.isEmpty()) {
        Editeur->Clear();
        AfficherMessage(mtInformation, message, this);
    }
}

QString TMainForm::LireFichierSansBloquer(const QString &path)
{
    // A large file takes long enough to read and decode to be felt: a
    // thread of its own does it while the window goes on with its messages.
    QString text;
    std::exception_ptr failure;
    QEventLoop attente;
    const std::unique_ptr<QThread> lecteur(QThread::create([&] {
        try {
            text = ListFiles::LoadListFileText(path);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    connect(lecteur.get(), &QThread::finished, &attente, &QEventLoop::quit);
    lecteur->start();
    attente.exec();
    // The wait also ends when the application quits; the reader is bounded
    // by the size limit, so it is simply waited for.
    lecteur->wait();
    if (failure)
        std::rethrow_exception(failure);
    return text;
}

bool TMainForm::HasLocalFiles(const QMimeData *data)
{
    if (!data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); });
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (HasLocalFiles(event->mimeData()))
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    OuvrirFichiersDeposes(event->mimeData());
}

void TMainForm::OuvrirFichiersDeposes(const QMimeData *data)
{
    // The paths are taken whole, and every dropped file is handled in turn,
    // each with its own refusal or error.
    QStringList paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    for (const QString &path : paths)
        OuvrirFichierDirect(path);
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
    helpOpener_(helpFile_, THelpViewer::HH_HELP_CONTEXT, kHelpContext, this);
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
