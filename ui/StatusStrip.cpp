// The status strip along the bottom of the main window: four text panels
// and a last panel that holds the progress bar.
#include "ui/StatusStrip.h"

#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>

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

    for (int i = 0; i < kPanelCount; ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment((i == 2 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
        panel->setIndent(2);
        panels_[i] = panel;
    }

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->raise();
    LayOutPanels();
}

QString TStatusStrip::PanelText(int index) const
{
    if (index < 0 || index >= kPanelCount)
        return QString();
    return panels_[index]->text();
}

void TStatusStrip::SetPanelText(int index, const QString &text)
{
    if (index < 0 || index >= kPanelCount || panels_[index]->text() == text)
        return;
    panels_[index]->setText(text);
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
    for (int i = 0; i < kPanelCount; ++i) {
        const QRect rect = PanelRect(i);
        panels_[i]->setGeometry(rect);
        StatusBar1DrawPanel(i, rect);
    }
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
