// The routes by which text reaches a number field: typed keys and the digit
// limit, keys with Alt, Meta or AltGr, text committed by an input method, and
// drops of text or of files onto the field.
#include "MainFormTest.h"
#include "ModalAnswerer.h"

#include "ui/window/MainForm.h"
#include "ui/report/ReportView.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

class TestEntryRoutes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingKeepsDigitsOnly();
    void digitLimit();
    void digitReplacesSelectionInFullField();
    void keysWithModifiers_data();
    void keysWithModifiers();
    void composedText_data();
    void composedText();
    void droppedText_data();
    void droppedText();
    void fileDroppedOnAFieldOpens_data();
    void fileDroppedOnAFieldOpens();

private:
    // Sends a drag over the field and, when it is accepted, the drop.
    bool drop(QLineEdit *field, QMimeData *data);

    TMainForm *form_ = nullptr;
};

void TestEntryRoutes::init()
{
    form_ = new TMainForm;
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void TestEntryRoutes::cleanup()
{
    delete form_;
    form_ = nullptr;
}

bool TestEntryRoutes::drop(QLineEdit *field, QMimeData *data)
{
    const QPoint at = field->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &dropped);
    return dropped.isAccepted();
}

void TestEntryRoutes::typingKeepsDigitsOnly()
{
    auto *field = FindChild<QLineEdit>(form_, "EditVerification");
    field->clear();
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("1a2-3 4.5"));
    QCOMPARE(field->text(), QStringLiteral("12345"));
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), QStringLiteral("1234"));
    QTest::keyClick(field, Qt::Key_Left);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text(), QStringLiteral("123"));
}

void TestEntryRoutes::digitLimit()
{
    auto *field = FindChild<QLineEdit>(form_, "EditDecomposition");
    field->clear();
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("12345678901234567"));
    QCOMPARE(field->text().size(), 17);
    ModalAnswerer answerer;
    QTest::keyClick(field, Qt::Key_8);
    QCOMPARE(field->text(), QStringLiteral("12345678901234567"));
    QTest::keyClick(field, Qt::Key_A);
    QCOMPARE(field->text(), QStringLiteral("12345678901234567"));
    QCOMPARE(answerer.boxes.size(), 2);
    QCOMPARE(answerer.boxes[0].caption, QStringLiteral("Information"));
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Information);
    QVERIFY(answerer.boxes[0].text.contains(QStringLiteral("17")));
    QCOMPARE(answerer.boxes[0].buttons, QStringList{QStringLiteral("OK")});
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text().size(), 16);
}

void TestEntryRoutes::digitReplacesSelectionInFullField()
{
    auto *field = FindChild<QLineEdit>(form_, "EditVerification");
    field->setText(QStringLiteral("12345678901234567"));
    field->setFocus();
    field->selectAll();
    ModalAnswerer answerer;
    QTest::keyClick(field, Qt::Key_7);
    QCOMPARE(field->text(), QStringLiteral("7"));
    QVERIFY(answerer.boxes.isEmpty());
}

void TestEntryRoutes::keysWithModifiers_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // On Linux a line edit inserts the text of a key with Alt or Meta.
    QTest::newRow("Alt+a") << int(Qt::Key_A) << int(Qt::AltModifier) << "a" << "12";
    QTest::newRow("Meta+b") << int(Qt::Key_B) << int(Qt::MetaModifier) << "b" << "12";
    QTest::newRow("AltGr @") << int(Qt::Key_At) << int(Qt::ControlModifier | Qt::AltModifier) << "@" << "12";
    QTest::newRow("Alt+Shift+E") << int(Qt::Key_E) << int(Qt::AltModifier | Qt::ShiftModifier) << "E" << "12";
    QTest::newRow("Alt+5 is a digit") << int(Qt::Key_5) << int(Qt::AltModifier) << "5" << "125";
    QTest::newRow("keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier) << "7" << "127";
    // A key may type more than one character at once.
    QTest::newRow("digit and letter") << 0 << int(Qt::NoModifier) << "3x" << "123";
    QTest::newRow("Ctrl+Z types nothing") << int(Qt::Key_Z) << int(Qt::ControlModifier) << "\x1a" << "12";
    QTest::newRow("Ctrl+A selects") << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01" << "12";
}

void TestEntryRoutes::keysWithModifiers()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    auto *field = FindChild<QLineEdit>(form_, "EditVerification");
    field->setText(QStringLiteral("12"));
    field->setFocus();
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QApplication::sendEvent(field, &press);
    QCOMPARE(field->text(), expected);
    // Shortcuts reach the field: Ctrl+A selects the whole text.
    QCOMPARE(field->selectedText(), key == Qt::Key_A && modifiers == Qt::ControlModifier ? expected : QString());
}

void TestEntryRoutes::composedText_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("limitBox");
    // A dead key or a compose sequence: ^ then 1 gives a superscript one.
    QTest::newRow("superscript one") << "12" << "¹" << "12" << false;
    QTest::newRow("accented letter") << "12" << "é" << "12" << false;
    QTest::newRow("digits kept") << "12" << "a3b4" << "1234" << false;
    QTest::newRow("full field") << "12345678901234567" << "8" << "12345678901234567" << true;
    QTest::newRow("fills the field") << "123456789012345" << "6789" << "12345678901234567" << true;
}

void TestEntryRoutes::composedText()
{
    QFETCH(QString, before);
    QFETCH(QString, commit);
    QFETCH(QString, expected);
    QFETCH(bool, limitBox);
    auto *field = FindChild<QLineEdit>(form_, "EditDecomposition");
    field->setText(before);
    field->setFocus();
    ModalAnswerer answerer;
    QInputMethodEvent event;
    event.setCommitString(commit);
    QApplication::sendEvent(field, &event);
    QCOMPARE(field->text(), expected);
    QCOMPARE(answerer.boxes.size(), limitBox ? 1 : 0);
    if (limitBox)
        QVERIFY(answerer.boxes[0].text.contains(QStringLiteral("17")));
}

void TestEntryRoutes::droppedText_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("letters") << "12" << "abc" << "12";
    QTest::newRow("digits and letters") << "12" << "3a" << "12";
    QTest::newRow("a path") << "12" << "/home/ana/NP_1-10000_01.txt" << "12";
    QTest::newRow("beyond the limit") << "1234567890" << "12345678" << "1234567890";
    QTest::newRow("digits") << "12" << "345" << "12345";
}

void TestEntryRoutes::droppedText()
{
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    auto *field = FindChild<QLineEdit>(form_, "EditRechercheFin");
    field->setText(before);
    field->setCursorPosition(int(before.size()));
    QMimeData data;
    data.setText(text);
    drop(field, &data);
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(field->text(), expected);
}

void TestEntryRoutes::fileDroppedOnAFieldOpens_data()
{
    AddNumberFieldRows();
}

void TestEntryRoutes::fileDroppedOnAFieldOpens()
{
    QFETCH(QString, page);
    QFETCH(QString, field);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("NP_1-30_01.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("NP_1-30_01.txt\r\nNombres premiers de cette liste : 3\r\n \r\n23\r\n29\r\n");
    file.close();

    FindChild<QTabWidget>(form_, "PageControl1")->setCurrentWidget(form_->findChild<QWidget *>(page));
    auto *edit = form_->findChild<QLineEdit *>(field);
    edit->setText(QStringLiteral("7"));
    // A file manager offers the path as text beside the URL.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    data.setText(path);
    ModalAnswerer answerer;
    QVERIFY(drop(edit, &data));
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(edit->text(), QStringLiteral("7"));
    QCOMPARE(FindChild<TReportView>(form_, "Editeur")->Lines(),
             QStringList({"NP_1-30_01.txt", "Nombres premiers de cette liste : 3", " ", "23", "29"}));
    QVERIFY(answerer.boxes.isEmpty());
}

QTEST_MAIN(TestEntryRoutes)
#include "tst_entryroutes.moc"
