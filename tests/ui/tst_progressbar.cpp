// The status strip's bar, painted from pictures of itself, against a plain
// QProgressBar painted by the style at every repaint: the same pixels for
// every value, whether the picture was drawn on the spot or ahead, in an
// active window and in a disabled one, and once the window changes state.
#include "ui/status/ProgressBar.h"

#include <QHBoxLayout>
#include <QApplication>
#include <QImage>
#include <QtTest>

class TestProgressBar : public QObject
{
    Q_OBJECT

private slots:
    void samePixelsAsTheStyle_data();
    void samePixelsAsTheStyle();
};

namespace {

// Compositing a picture drawn on a transparent ground may round a channel
// differently from drawing on the window at once.
bool SamePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            if (std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qGreen(p) - qGreen(q)) > 1
                || std::abs(qBlue(p) - qBlue(q)) > 1 || std::abs(qAlpha(p) - qAlpha(q)) > 1)
                return false;
        }
    }
    return true;
}

} // namespace

void TestProgressBar::samePixelsAsTheStyle_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("enabled") << true;
    QTest::newRow("disabled") << false;
}

void TestProgressBar::samePixelsAsTheStyle()
{
    QFETCH(bool, enabled);
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    auto *ours = new TProgressBar;
    auto *plain = new QProgressBar;
    for (QProgressBar *bar : {static_cast<QProgressBar *>(ours), plain}) {
        bar->setTextVisible(false);
        bar->setRange(0, 100);
        bar->setFixedSize(357, 20);
        layout->addWidget(bar);
    }
    window.setEnabled(enabled);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto compare = [&](int value) {
        ours->setValue(value);
        plain->setValue(value);
        return SamePixels(ours->grab().toImage(), plain->grab().toImage());
    };
    // Drawn on the spot, then copied from the picture kept.
    for (const int value : {0, 1, 37, 99, 100})
        QVERIFY2(compare(value) && compare(value), qPrintable(QString::number(value)));
    // Drawn ahead while idle, for the window with its focus and without.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(ours->PicturesReady(), 101);
    for (const int value : {2, 50, 98})
        QVERIFY2(compare(value), qPrintable(QString::number(value)));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!window.isActiveWindow());
    ours->setValue(3);
    QCOMPARE(ours->PicturesReady(), 101);
    for (const int value : {3, 51, 97})
        QVERIFY2(compare(value), qPrintable(QString::number(value)));
    // Another look: none of the pictures kept may serve.
    window.setEnabled(!enabled);
    for (const int value : {2, 50, 98})
        QVERIFY2(compare(value), qPrintable(QString::number(value)));
}

QTEST_MAIN(TestProgressBar)
#include "tst_progressbar.moc"
