// The status strip along the bottom of the main window: four text panels
// and a last panel that holds the progress bar.
#include "ui/status/StatusStrip.h"

#include "ui/status/ProgressBar.h"

#include <QAccessible>
#include <QPainter>
#include <QProgressBar>
#include <QResizeEvent>
#include <qdrawutil.h>

namespace {

// Widths of panels 0 to 3; the last panel takes the rest.
constexpr int kWidths[] = {5, 150, 50, 200};
// The panels start below the strip's top edge line.
constexpr int kTopMargin = 2;

} // namespace

TStatusStrip::TStatusStrip(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setFixedHeight(kHeight);
    setSizeGripEnabled(true);

    progressBar_ = new TProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->raise();
    progressBar_->setAccessibleName(QStringLiteral("Progression"));

    // The painted panels have no widget a screen reader could find, so each
    // text panel gets an object of its own, which the accessibility's
    // factory describes (ui/StatusStripAccessible).
    for (const int index : kReadablePanels) {
        panelObjects_[index] = new QObject(this);
        panelObjects_[index]->setObjectName(QStringLiteral("StatusPanel%1").arg(index));
    }
    LayOutPanels();
}

QString TStatusStrip::PanelTitle(int index)
{
    switch (index) {
    case 1: return QStringLiteral("Temps écoulé");
    case 2: return QStringLiteral("Pourcentage");
    case 3: return QStringLiteral("État");
    default: return QString();
    }
}

QObject *TStatusStrip::PanelObject(int index) const
{
    return index < 0 || index >= kPanelCount ? nullptr : panelObjects_[index];
}

int TStatusStrip::PanelIndex(const QObject *object) const
{
    if (!object)
        return -1;
    for (int i = 0; i < kPanelCount; ++i)
        if (panelObjects_[i] == object)
            return i;
    return -1;
}

QString TStatusStrip::PanelText(int index) const
{
    if (index < 0 || index >= kPanelCount)
        return QString();
    return texts_[index];
}

void TStatusStrip::SetPanelText(int index, const QString &text)
{
    if (index < 0 || index >= kPanelCount || texts_[index] == text)
        return;
    texts_[index] = text;
    update(PanelRect(index));
    // A reader keeps what it has read until told otherwise: this is how
    // the end of a run ("Terminé...") is heard. Qt drops the event when no
    // reader listens.
    if (panelObjects_[index]) {
        QAccessibleEvent event(panelObjects_[index], QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QRect TStatusStrip::PanelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index && i < 4; ++i)
        left += kWidths[i];
    const int right = index < 4 ? left + kWidths[index] : qMax(left, width());
    return QRect(QPoint(left, kTopMargin), QPoint(right - 1, height() - 1));
}

void TStatusStrip::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    LayOutPanels();
}

void TStatusStrip::LayOutPanels()
{
    for (int i = 0; i < kPanelCount; ++i)
        StatusBar1DrawPanel(i, PanelRect(i));
}

void TStatusStrip::StatusBar1DrawPanel(int index, const QRect &rect)
{
    if (index != 4)
        return;
    // The bar covers the last panel but for the size grip's corner; a strip
    // too narrow for that gets an empty bar rather than a negative size.
    const int width = qMax(0, rect.width() - kGripMargin);
    progressBar_->setGeometry(rect.left(), rect.top(), width, rect.height());
}

void TStatusStrip::paintEvent(QPaintEvent *event)
{
    QStatusBar::paintEvent(event);
    QPainter painter(this);
    for (int i = 0; i < kPanelCount; ++i) {
        const QRect rect = PanelRect(i);
        if (!rect.intersects(event->rect()))
            continue;
        qDrawShadePanel(&painter, rect, palette(), true, 1);
        if (texts_[i].isEmpty())
            continue;
        const Qt::Alignment alignment = (i == 2 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
        const QRect textRect = rect.adjusted(3, 1, -2, -1);
        painter.setClipRect(textRect);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(textRect, int(alignment), texts_[i]);
        painter.setClipping(false);
    }
}
