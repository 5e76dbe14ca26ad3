// What a screen reader finds in each window, through Qt's accessibility
// interfaces: a name on every control, the number fields named after their
// labels, and the status strip's painted panels readable as they change.
#include "MainFormTest.h"

#include "ui/help/HelpViewer.h"
#include "ui/common/MessageBoxes.h"
#include "ui/window/AboutBox.h"
#include "ui/window/MainForm.h"
#include "ui/status/StatusStrip.h"
#include "ui/access/TextBoundaries.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QMenuBar>
#include <QTabBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// The roles a user acts on or reads as a control; a node of one of them
// without a name is what a reader announces as a bare "push button".
bool Interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::PageTab:
    case QAccessible::PageTabList:
    case QAccessible::MenuItem:
    case QAccessible::MenuBar:
    case QAccessible::PopupMenu:
    case QAccessible::ProgressBar:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::ComboBox:
    case QAccessible::ToolBar:
    // Readers announce panes as the focus enters them: an unnamed one is
    // noise.
    case QAccessible::Pane:
    case QAccessible::LayeredPane:
    case QAccessible::ButtonMenu:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
        return true;
    default:
        return false;
    }
}

// Every interactive node under iface without a name, as "role path" lines.
void CollectUnnamed(QAccessibleInterface *iface, const QString &path, QStringList &unnamed, int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 40)
        return;
    const QString here = path + QLatin1Char('/')
                         + (iface->object() && !iface->object()->objectName().isEmpty()
                                ? iface->object()->objectName()
                                : QString::number(int(iface->role()), 16));
    if (Interactive(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << here;
    // A status bar is read by its role; a name would only repeat it
    // ("Barre d'état barre d'état").
    if (iface->role() == QAccessible::StatusBar && !iface->text(QAccessible::Name).isEmpty())
        unnamed << here + QStringLiteral(" (named after its role)");
    for (int i = 0; i < iface->childCount(); ++i)
        CollectUnnamed(iface->child(i), here, unnamed, depth + 1);
}

struct RecordedEvent {
    QObject *object;
    QAccessible::Event type;
};
QList<RecordedEvent> s_recorded;

void RecordEvent(QAccessibleEvent *event)
{
    s_recorded.append({event->object(), event->type()});
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyControlNamed_data();
    void everyControlNamed();
    void messageBoxesNamed_data();
    void messageBoxesNamed();
    void fieldsTakeTheirLabels_data();
    void fieldsTakeTheirLabels();
    void panelsFollowTheirTexts_data();
    void panelsFollowTheirTexts();
    void endOfRunIsHeard();
    void menusOpenFromTheKeyboard();
    void popupMenuOpensFromTheKeyboard_data();
    void popupMenuOpensFromTheKeyboard();
    void tabVisitsEveryControl();
    void textPiecesByOffset_data();
    void textPiecesByOffset();
    void everyTextQueryAnswers_data();
    void everyTextQueryAnswers();

private:
    template <typename T> T *child(const char *name) { return FindChild<T>(form_, name); }

    TMainForm *form_ = nullptr;
};

void TestAccessibility::initTestCase()
{
    QAccessible::installUpdateHandler(RecordEvent);
    QAccessible::setActive(true);
}

void TestAccessibility::init()
{
    form_ = new TMainForm;
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
    s_recorded.clear();
}

void TestAccessibility::cleanup()
{
    delete form_;
    form_ = nullptr;
}

void TestAccessibility::everyControlNamed_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("main window") << "main";
    QTest::newRow("pop-up menu") << "popup";
    QTest::newRow("about box") << "about";
    QTest::newRow("help window") << "help";
}

void TestAccessibility::everyControlNamed()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> own;
    QWidget *root = form_;
    if (window == QLatin1String("popup")) {
        root = child<QMenu>("PopupMenu1");
    } else if (window == QLatin1String("about")) {
        own = std::make_unique<TAboutBox>(form_->ProductName(), form_->Version());
        root = own.get();
    } else if (window == QLatin1String("help")) {
        own = std::make_unique<THelpViewer>();
        root = own.get();
    }
    root->show();
    QVERIFY(QTest::qWaitForWindowExposed(root));

    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(root);
    QVERIFY(iface);
    QVERIFY(!iface->text(QAccessible::Name).isEmpty());
    QStringList unnamed;
    CollectUnnamed(iface, QString(), unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));

    // The walk must have reached the controls, not stopped at the top.
    int named = 0;
    for (QWidget *w : root->findChildren<QWidget *>())
        if (w->focusPolicy() != Qt::NoFocus) {
            QAccessibleInterface *control = QAccessible::queryAccessibleInterface(w);
            QVERIFY(control);
            QVERIFY2(!control->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(w->objectName()));
            ++named;
        }
    QVERIFY(named > 0 || window == QLatin1String("popup"));
    root->hide();
}

void TestAccessibility::messageBoxesNamed_data()
{
    QTest::addColumn<bool>("question");
    QTest::newRow("information") << false;
    QTest::newRow("Oui/Non question") << true;
}

void TestAccessibility::messageBoxesNamed()
{
    QFETCH(bool, question);
    QStringList unnamed;
    bool seen = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        seen = true;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
        if (iface->text(QAccessible::Name).isEmpty())
            unnamed << QStringLiteral("the box");
        CollectUnnamed(iface, QString(), unnamed);
        box->defaultButton()->click();
    });
    poll.start(5);
    if (question)
        DemanderConfirmation(mtConfirmation, QStringLiteral("Processus en cours. Arrêter ?"), form_);
    else
        AfficherMessage(mtInformation, QStringLiteral("Demandez au minimum 10 nombres premiers."), form_);
    QVERIFY(seen);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
}

void TestAccessibility::fieldsTakeTheirLabels_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("name");
    QTest::newRow("verification") << "EditVerification" << "Vérifier le nombre :";
    QTest::newRow("search start") << "EditRechercheDebut" << "Chercher de :";
    QTest::newRow("search end") << "EditRechercheFin" << "jusqu'à :";
    QTest::newRow("factorisation") << "EditDecomposition" << "Décomposer le nombre :";
    QTest::newRow("stop button") << "ButtonStop" << "Arrêter";
    QTest::newRow("start button") << "ButtonDemarrer" << "Démarrer";
}

void TestAccessibility::fieldsTakeTheirLabels()
{
    QFETCH(QString, field);
    QFETCH(QString, name);
    QWidget *widget = form_->findChild<QWidget *>(field);
    QVERIFY(widget);
    // The name comes from the label, not from a copy of its text.
    QVERIFY(widget->accessibleName().isEmpty() || field.startsWith(QLatin1String("Button")));
    QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
}

void TestAccessibility::panelsFollowTheirTexts_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("description");
    QTest::newRow("time") << 1 << "Temps : 2,5 sec." << "Temps écoulé";
    QTest::newRow("percentage") << 2 << "37 %" << "Pourcentage";
    QTest::newRow("state") << 3 << "Traitement en cours, patientez..." << "État";
}

void TestAccessibility::panelsFollowTheirTexts()
{
    QFETCH(int, panel);
    QFETCH(QString, text);
    QFETCH(QString, description);
    auto *strip = child<TStatusStrip>("StatusBar1");
    QAccessibleInterface *stripIface = QAccessible::queryAccessibleInterface(strip);
    QCOMPARE(stripIface->role(), QAccessible::StatusBar);

    // Found the way a reader finds it: among the strip's children.
    QAccessibleInterface *found = nullptr;
    for (int i = 0; i < stripIface->childCount(); ++i) {
        QAccessibleInterface *c = stripIface->child(i);
        QVERIFY(c);
        QCOMPARE(stripIface->indexOfChild(c), i);
        QCOMPARE(c->parent()->object(), strip);
        if (c->text(QAccessible::Description) == description)
            found = c;
    }
    QVERIFY(found);
    QCOMPARE(found->role(), QAccessible::StaticText);
    QVERIFY(strip->rect().contains(strip->mapFromGlobal(found->rect().center())));

    strip->SetPanelText(panel, text);
    QCOMPARE(found->text(QAccessible::Name), text);
    strip->SetPanelText(panel, QString());
    QCOMPARE(found->text(QAccessible::Name), QString());

    // Qt hands events on only where a platform bridge is active; the
    // end-to-end test over the real bus checks them there.
    if (!QAccessible::isActive())
        QSKIP("no accessibility bridge on this platform");
    int changes = 0;
    for (const RecordedEvent &e : std::as_const(s_recorded))
        if (e.type == QAccessible::NameChanged && e.object == found->object())
            ++changes;
    QCOMPARE(changes, 2);
}

void TestAccessibility::endOfRunIsHeard()
{
    child<QLineEdit>("EditVerification")->setText(QStringLiteral("97"));
    child<QPushButton>("ButtonDemarrer")->click();
    auto *strip = child<TStatusStrip>("StatusBar1");
    QTRY_COMPARE(strip->PanelText(3), QStringLiteral("Terminé..."));
    QObject *state = strip->PanelObject(3);
    QCOMPARE(QAccessible::queryAccessibleInterface(state)->text(QAccessible::Name), QStringLiteral("Terminé..."));
    if (!QAccessible::isActive())
        QSKIP("no accessibility bridge on this platform");
    QTRY_VERIFY(!s_recorded.isEmpty());
    const RecordedEvent &last = [&]() -> const RecordedEvent & {
        for (qsizetype i = s_recorded.size() - 1; i >= 0; --i)
            if (s_recorded[i].object == state)
                return s_recorded[i];
        return s_recorded.first();
    }();
    QCOMPARE(last.object, state);
    QCOMPARE(last.type, QAccessible::NameChanged);
}

void TestAccessibility::menusOpenFromTheKeyboard()
{
    // The captions carry no mnemonic: Alt alone, then the arrows, must
    // reach the menu bar's commands.
    auto *bar = child<QMenuBar>("MainMenu1");
    child<QLineEdit>("EditVerification")->setFocus();
    QTest::keyPress(form_->focusWidget(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(form_->focusWidget(), Qt::Key_Alt, Qt::NoModifier);
    QTRY_VERIFY(bar->activeAction());
    QCOMPARE(bar->activeAction()->text(), QStringLiteral("Fichier"));
    QTest::keyClick(bar, Qt::Key_Down);
    QTRY_VERIFY(child<QMenu>("MenuFichier")->isVisible());
    child<QMenu>("MenuFichier")->close();
}

void TestAccessibility::popupMenuOpensFromTheKeyboard_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("menu key in a field") << "EditVerification" << int(Qt::Key_Menu) << 0;
    QTest::newRow("menu key in the report") << "Editeur" << int(Qt::Key_Menu) << 0;
    QTest::newRow("shift+F10 in a field") << "EditVerification" << int(Qt::Key_F10) << int(Qt::ShiftModifier);
}

void TestAccessibility::popupMenuOpensFromTheKeyboard()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    auto *widget = form_->findChild<QWidget *>(control);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    auto *popup = child<QMenu>("PopupMenu1");
    QTRY_VERIFY(popup->isVisible());
    popup->close();
}

void TestAccessibility::tabVisitsEveryControl()
{
    // Order of the window: tabs, the page's fields, the buttons, the report.
    child<QTabWidget>("PageControl1")->setCurrentIndex(1);
    const QStringList expected = {"EditRechercheDebut", "EditRechercheFin", "CBSepMilliers",
                                  "ButtonDemarrer",     "ButtonStop",       "Editeur"};
    QWidget *tabs = child<QTabWidget>("PageControl1")->findChild<QTabBar *>();
    tabs->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), tabs);
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
}

void TestAccessibility::textPiecesByOffset_data()
{
    // Worked by hand: pieces of "12 34" and of two lines, at the ends too.
    using B = QAccessible::TextBoundaryType;
    using W = TextBoundaries::Which;
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("boundary");
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("piece");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::newRow("word at start") << "12 34" << 0 << int(B::WordBoundary) << int(W::At) << "12" << 0 << 2;
    QTest::newRow("blank between words") << "12 34" << 2 << int(B::WordBoundary) << int(W::At) << " " << 2 << 3;
    QTest::newRow("word after the first") << "12 34" << 1 << int(B::WordBoundary) << int(W::After) << " " << 2 << 3;
    QTest::newRow("word at the end") << "12 34" << 5 << int(B::WordBoundary) << int(W::At) << "" << 5 << 5;
    QTest::newRow("word before the end") << "12 34" << 5 << int(B::WordBoundary) << int(W::Before) << "34" << 3 << 5;
    QTest::newRow("word after the last") << "12 34" << 4 << int(B::WordBoundary) << int(W::After) << "" << -1 << -1;
    QTest::newRow("end as -1") << "97" << -1 << int(B::WordBoundary) << int(W::Before) << "97" << 0 << 2;
    QTest::newRow("char at end") << "97" << 2 << int(B::CharBoundary) << int(W::At) << "" << 2 << 2;
    QTest::newRow("char before end") << "97" << 2 << int(B::CharBoundary) << int(W::Before) << "7" << 1 << 2;
    QTest::newRow("line with the caret at its end") << "97" << 2 << int(B::LineBoundary) << int(W::At) << "97" << 0 << 2;
    QTest::newRow("second line") << "ab\ncd" << 3 << int(B::LineBoundary) << int(W::At) << "cd" << 3 << 5;
    QTest::newRow("line before") << "ab\ncd" << 5 << int(B::LineBoundary) << int(W::Before) << "ab\n" << 0 << 3;
    QTest::newRow("after the last line") << "ab\ncd" << 1 << int(B::LineBoundary) << int(W::After) << "cd" << 3 << 5;
    QTest::newRow("past the end") << "97" << 3 << int(B::WordBoundary) << int(W::At) << "" << -1 << -1;
    QTest::newRow("empty text") << "" << 0 << int(B::LineBoundary) << int(W::At) << "" << -1 << -1;
}

void TestAccessibility::textPiecesByOffset()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, boundary);
    QFETCH(int, which);
    QFETCH(QString, piece);
    QFETCH(int, start);
    QFETCH(int, end);
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    piece.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    int gotStart = 0;
    int gotEnd = 0;
    QCOMPARE(TextBoundaries::Piece(text, offset, QAccessible::TextBoundaryType(boundary),
                                   TextBoundaries::Which(which), &gotStart, &gotEnd),
             piece);
    QCOMPARE(gotStart, start);
    QCOMPARE(gotEnd, end);
}

void TestAccessibility::everyTextQueryAnswers_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("main window") << "main";
    QTest::newRow("help window") << "help";
}

void TestAccessibility::everyTextQueryAnswers()
{
    // Every piece at every offset of every text object, as a reader may ask
    // for them: each query gets 5 s, or the test ends naming it (Qt 6.4's own
    // search never returned for the word at a field's end).
    QFETCH(QString, window);
    std::unique_ptr<QWidget> own;
    QWidget *root = form_;
    if (window == QLatin1String("help")) {
        own = std::make_unique<THelpViewer>();
        root = own.get();
    }
    root->show();
    QVERIFY(QTest::qWaitForWindowExposed(root));
    child<QLineEdit>("EditVerification")->setText(QStringLiteral("12 345"));
    // The watchdog waits 5 s for each query to end, and ends the test naming
    // the query that did not.
    std::mutex mutex;
    std::condition_variable changed;
    quint64 answered = 0;
    bool asking = false;
    bool done = false;
    char query[160] = {};
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        while (!done) {
            const quint64 seen = answered;
            if (asking && !changed.wait_for(lock, std::chrono::seconds(5), [&] { return answered != seen || done; })) {
                std::fprintf(stderr, "no answer within 5 s: %s\n", query);
                std::abort();
            }
            if (!asking)
                changed.wait(lock, [&] { return asking || done; });
        }
    });
    int objects = 0;
    std::function<void(QAccessibleInterface *, int)> walk = [&](QAccessibleInterface *iface, int depth) {
        if (!iface || !iface->isValid() || depth > 40)
            return;
        if (QAccessibleTextInterface *text = iface->textInterface()) {
            ++objects;
            const int length = text->characterCount();
            const QByteArray name = (iface->object() ? iface->object()->objectName() : QString()).toUtf8();
            for (const auto boundary : {QAccessible::CharBoundary, QAccessible::WordBoundary,
                                        QAccessible::SentenceBoundary, QAccessible::ParagraphBoundary,
                                        QAccessible::LineBoundary, QAccessible::NoBoundary}) {
                for (int offset = -1; offset <= length; ++offset) {
                    {
                        const std::lock_guard lock(mutex);
                        std::snprintf(query, sizeof query, "%s, offset %d of %d, boundary %d", name.constData(),
                                      offset, length, int(boundary));
                        asking = true;
                    }
                    changed.notify_all();
                    int start = 0;
                    int end = 0;
                    text->textAtOffset(offset, boundary, &start, &end);
                    text->textBeforeOffset(offset, boundary, &start, &end);
                    text->textAfterOffset(offset, boundary, &start, &end);
                    {
                        const std::lock_guard lock(mutex);
                        ++answered;
                    }
                    changed.notify_all();
                }
            }
        }
        for (int i = 0; i < iface->childCount(); ++i)
            walk(iface->child(i), depth + 1);
    };
    walk(QAccessible::queryAccessibleInterface(root), 0);
    {
        const std::lock_guard lock(mutex);
        done = true;
    }
    changed.notify_all();
    watchdog.join();
    // The four number fields and the report at least.
    QVERIFY2(objects >= (window == QLatin1String("main") ? 5 : 1), qPrintable(QString::number(objects)));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
