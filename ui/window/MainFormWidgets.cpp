// The main window's widgets, menus, pop-up menu and dialogs, built once by
// the constructor: the pages and their fields, the command panel, the report
// view and the status strip.
#include "ui/window/MainForm.h"

#include "ui/access/Accessibility.h"
#include "ui/access/Announcer.h"
#include "ui/help/HelpLocator.h"
#include "ui/report/ListViewLoader.h"
#include "ui/window/NumberFieldFilter.h"
#include "ui/report/ReportView.h"
#include "ui/status/StatusStrip.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace {

class TTightTabStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

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
    connect(HelpKey, &QAction::triggered, this, [this] { HelpChm(kHelpContextCommand, kHelpIndexContext); });
    addAction(HelpKey);

    // The pop-up menu from the keyboard, for whoever works without a mouse:
    // the menu key or Shift+F10, at the control that has the focus.
    auto *popupKey = createAction(QStringLiteral("PopupKey"), QString(), QString());
    popupKey->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    connect(popupKey, &QAction::triggered, this, [this] {
        QWidget *control = focusWidget() && isAncestorOf(focusWidget()) ? focusWidget() : this;
        const QWidget *area = control == Editeur ? Editeur->viewport() : control;
        ShowPopupMenu(control, area->rect().center());
    });
    addAction(popupKey);
}

void TMainForm::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setAccessibleName(QStringLiteral("Menu principal"));
    QMenu *fileMenu = bar->addMenu(QStringLiteral("Fichier"));
    fileMenu->setObjectName(QStringLiteral("MenuFichier"));
    fileMenu->setAccessibleName(fileMenu->title());
    fileMenu->addAction(MenuOuvrir);
    fileMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    fileMenu->addAction(MenuQuitter);
    QMenu *helpMenu = bar->addMenu(QStringLiteral("Aide"));
    helpMenu->setObjectName(QStringLiteral("MenuAide"));
    helpMenu->setAccessibleName(helpMenu->title());
    helpMenu->addAction(MenuIndexAide);
    helpMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    helpMenu->addAction(MenuAbout);
}

void TMainForm::createPopupMenu1()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setAccessibleName(QStringLiteral("Menu contextuel"));
    PopupMenu1->addAction(MenuCopier);
    PopupMenu1->addAction(MenuColler);
    // A pop-up menu takes no window focus, so readers would only hear its
    // first item: the menu says itself as it opens.
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { announcer_->Announce(PopupMenu1->accessibleName()); });
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
    ButtonDemarrer->setAccessibleDescription(QStringLiteral("Lance le traitement de la page affichée"));
    connect(ButtonDemarrer, &QPushButton::clicked, this, &TMainForm::ButtonDemarrerClick);

    ButtonStop = new QPushButton(QIcon(QStringLiteral(":/images/stop.svg")), QString(), PanelCommandesLeft);
    ButtonStop->setObjectName(QStringLiteral("ButtonStop"));
    ButtonStop->setGeometry(145, 12, 40, 38);
    ButtonStop->setIconSize(QSize(24, 24));
    ButtonStop->setToolTip(QString());
    // The button shows only a picture; a screen reader needs its word.
    ButtonStop->setAccessibleName(QStringLiteral("Arrêter"));
    ButtonStop->setAccessibleDescription(QStringLiteral("Arrête le traitement en cours"));
    connect(ButtonStop, &QPushButton::clicked, this, &TMainForm::ButtonStopClick);

    PageControl1 = new QTabWidget(PanelCommandes);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setIconSize(QSize(16, 16));
    PageControl1->setAccessibleName(QStringLiteral("Pages"));
    // Tabs as tight as a classic tab control, so the three captions fit the
    // width the window opens with.
    auto *tightTabs = new TTightTabStyle;
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

QLineEdit *TMainForm::createNumberField(QWidget *page, QLabel *label, const QString &name, const QString &text,
                                         int left)
{
    auto *field = new QLineEdit(text, page);
    // A screen reader names the field after its label; the labels carry
    // no mnemonic, so nothing else changes.
    label->setBuddy(field);
    field->setObjectName(name);
    field->setGeometry(left, 3, 140, 24);
    numberFilter_->Watch(field);
    return field;
}

void TMainForm::createPages()
{
    TabVerification = new QWidget;
    TabVerification->setObjectName(QStringLiteral("TabVerification"));
    QLabel *label = createLabel(TabVerification, QStringLiteral("Label1"), QStringLiteral("Vérifier le nombre :"), 6);
    EditVerification = createNumberField(TabVerification, label, QStringLiteral("EditVerification"), QStringLiteral("1"), 127);

    TabRecherche = new QWidget;
    TabRecherche->setObjectName(QStringLiteral("TabRecherche"));
    label = createLabel(TabRecherche, QStringLiteral("LabelEdit1"), QStringLiteral("Chercher de :"), 6);
    EditRechercheDebut = createNumberField(TabRecherche, label, QStringLiteral("EditRechercheDebut"), QStringLiteral("1"), 92);
    label = createLabel(TabRecherche, QStringLiteral("LabelEdit2"), QStringLiteral("jusqu'à :"), 240);
    EditRechercheFin = createNumberField(TabRecherche, label, QStringLiteral("EditRechercheFin"), QStringLiteral("10000"), 298);
    EditRechercheFin->setToolTip(QStringLiteral("Entrez le nombre de fin de recherche"));
    CBSepMilliers = new QCheckBox(QStringLiteral("Sep. milliers"), TabRecherche);
    CBSepMilliers->setObjectName(QStringLiteral("CBSepMilliers"));
    CBSepMilliers->setGeometry(456, 8, 97, 17);
    CBSepMilliers->setChecked(true);

    TabDecomposition = new QWidget;
    TabDecomposition->setObjectName(QStringLiteral("TabDecomposition"));
    label = createLabel(TabDecomposition, QStringLiteral("Label2"), QStringLiteral("Décomposer le nombre :"), 6);
    EditDecomposition = createNumberField(TabDecomposition, label, QStringLiteral("EditDecomposition"), QStringLiteral("1"), 154);

    const auto addPage = [this](QWidget *page, const QString &icon, const QString &caption) {
        PageControl1->addTab(page, QIcon(QStringLiteral(":/images/%1.svg").arg(icon)), caption);
        // The page reads as its tab's caption.
        page->setAccessibleName(caption);
    };
    addPage(TabVerification, QStringLiteral("tab_verification"), QStringLiteral("Vérification de primalité"));
    addPage(TabRecherche, QStringLiteral("tab_recherche"), QStringLiteral("Recherche de nombres premiers"));
    addPage(TabDecomposition, QStringLiteral("tab_decomposition"), QStringLiteral("Décomposition d'entiers"));
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::PageChanged);
}

void TMainForm::createReportView()
{
    Editeur = new TReportView(this);
    Editeur->setAccessibleName(QStringLiteral("Rapport"));
    Editeur->setAccessibleDescription(QStringLiteral("Résultat du traitement, en lecture seule"));
    listLoader_ = new TListViewLoader(Editeur, this);
}

void TMainForm::createStatusStrip()
{
    StatusBar1 = new TStatusStrip(this);
    // With a reader listening, Qt described the strip while QStatusBar was
    // still being built, as a plain status bar without its panels.
    DescribeAnew(StatusBar1);
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
