// The splash window shown while the main window is being created: the
// product picture, name, version and address on a diamond gradient.
#include "ui/startup/Splash.h"

#include "Version.h"

#include "gradient/Gradient.h"
#include "ui/common/Fonts.h"
#include "ui/window/AboutBox.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <qdrawutil.h>

namespace {

const QColor kNavy(0x00, 0x00, 0x80);

// The navy frame of the window: a lowered outer bevel around a raised
// inner one.
class TBevelPanel : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), kNavy);
        qDrawShadePanel(&painter, rect(), palette(), true, 1);
        qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
    }
};

QLabel *NavyLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(font);
    QPalette navy = label->palette();
    navy.setColor(QPalette::WindowText, kNavy);
    label->setPalette(navy);
    return label;
}

} // namespace

TSplash::TSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(345, 141);
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(11);
    setFont(font);

    auto *panel = new TBevelPanel(this);
    panel->setObjectName(QStringLiteral("PanelSplash"));
    panel->setGeometry(rect());
    panel->setFont(TahomaFont(11));

    auto *inside = new QWidget(panel);
    inside->setObjectName(QStringLiteral("PanelInside"));
    inside->setGeometry(6, 6, 333, 129);
    inside->setFont(TahomaFont(11));

    Gradient1 = new TGradient(inside);
    Gradient1->setObjectName(QStringLiteral("Gradient1"));
    Gradient1->setGeometry(0, -2, 333, 129);
    Gradient1->BeginUpdate();
    Gradient1->SetColorBegin(clGradientActiveCaption);
    Gradient1->SetColorEnd(clWhite);
    Gradient1->SetReverse(true);
    Gradient1->SetStyle(gsDiamond);
    Gradient1->EndUpdate();
    connect(Gradient1, &TGradient::clicked, this, &TSplash::PanelInsideClick);

    createLabels(inside);

    // A click anywhere on the window closes it, whichever part it lands on.
    for (QWidget *part : findChildren<QWidget *>())
        part->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1800);
    connect(Timer1, &QTimer::timeout, this, &TSplash::PanelInsideClick);
    Timer1->start();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TSplash::createLabels(QWidget *inside)
{
    auto *picture = new QLabel(inside);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(0, 0, 128, 128);
    picture->setPixmap(QIcon(QStringLiteral(":/images/product.svg")).pixmap(128, 128));

    QFont version = TahomaFont(11);
    version.setItalic(true);
    NavyLabel(inside, QStringLiteral("LabelVersionBuild"), QStringLiteral("Version " TAVORINE_VERSION_TEXT), QRect(128, 42, 190, 14), version);

    QFont name = TahomaFont(16);
    name.setBold(true);
    NavyLabel(inside, QStringLiteral("ProductNameLabel"), QStringLiteral("Tavorine"), QRect(128, 20, 190, 25), name);

    QFont address = TahomaFont(15);
    address.setUnderline(true);
    QLabel *link = NavyLabel(inside, QStringLiteral("Label1"), ProductWebAddress(), QRect(128, 90, 190, 20), address);
    link->setCursor(Qt::PointingHandCursor);
}

void TSplash::ShowAndPaint()
{
    show();
    repaint();
    // Only the window system's own events (exposure, painting) go through:
    // no click and no timer can close the window before the message loop.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSplash::PanelInsideClick()
{
    Timer1->stop();
    close();
}

bool TSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && watched != Gradient1
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        PanelInsideClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSplash::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        PanelInsideClick();
}
