// The status strip's progress bar, painted from pictures of itself drawn by
// the style once per look.
#include "ui/status/ProgressBar.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionProgressBar>

TProgressBar::TProgressBar(QWidget *parent)
    : QProgressBar(parent)
{
    ahead_.setSingleShot(true);
    connect(&ahead_, &QTimer::timeout, this, &TProgressBar::DrawAhead);
}

QStyleOptionProgressBar TProgressBar::Option(int value) const
{
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    // Pictures are kept only for a bar without text, whose value changes
    // nothing else.
    option.progress = value;
    return option;
}

QStyleOptionProgressBar TProgressBar::OtherWindowState(QStyleOptionProgressBar option)
{
    // As QStyleOption::initFrom and QWidget::palette make it when the window
    // gains or loses the focus: a save dialog, or the message at the end of
    // a run, takes it from the window.
    const bool active = !(option.state & QStyle::State_Active);
    option.state.setFlag(QStyle::State_Active, active);
    if (option.palette.currentColorGroup() != QPalette::Disabled)
        option.palette.setCurrentColorGroup(active ? QPalette::Active : QPalette::Inactive);
    return option;
}

TProgressBar::Look TProgressBar::LookOf(const QStyleOptionProgressBar &option) const
{
    Look look;
    look.size = option.rect.size();
    look.pixelRatio = devicePixelRatioF();
    look.state = option.state;
    look.direction = option.direction;
    look.palette = option.palette.cacheKey();
    look.group = option.palette.currentColorGroup();
    look.minimum = option.minimum;
    look.maximum = option.maximum;
    look.style = style();
    look.textVisible = option.textVisible;
    look.textAlignment = option.textAlignment;
    look.inverted = option.invertedAppearance;
    look.bottomToTop = option.bottomToTop;
    return look;
}

TProgressBar::Pictures *TProgressBar::PicturesOf(const Look &look)
{
    if (look.textVisible || look.maximum < look.minimum || qint64(look.maximum) - look.minimum > kLargestRange)
        return nullptr;
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        if (pictures_[i].look == look) {
            if (i != 0)
                std::swap(pictures_[0], pictures_[i]);
            return &pictures_[0];
        }
    }
    if (pictures_.size() == 2)
        pictures_.pop_back();
    pictures_.insert(pictures_.begin(),
                     Pictures{look, std::vector<QPixmap>(std::size_t(look.maximum - look.minimum + 1))});
    return &pictures_[0];
}

QPixmap TProgressBar::Draw(const QStyleOptionProgressBar &option) const
{
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(option.rect.size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QStyleOptionProgressBar at = option;
    at.rect.moveTopLeft(QPoint(0, 0));
    QPainter painter(&picture);
    style()->drawControl(QStyle::CE_ProgressBar, &at, &painter, this);
    return picture;
}

void TProgressBar::paintEvent(QPaintEvent *)
{
    const QStyleOptionProgressBar option = Option(value());
    QPixmap picture;
    if (Pictures *pictures = PicturesOf(LookOf(option))) {
        // A value outside the range shows as the bar would show it.
        const int value = std::clamp(option.progress, option.minimum, option.maximum);
        QPixmap &kept = pictures->byValue[std::size_t(value - option.minimum)];
        if (value != option.progress) {
            picture = Draw(option);
        } else {
            if (kept.isNull())
                kept = Draw(option);
            picture = kept;
        }
        AheadWhenQuiet();
    } else {
        picture = Draw(option);
    }
    QPainter painter(this);
    painter.drawPixmap(option.rect.topLeft(), picture);
}

void TProgressBar::DrawAhead()
{
    // The look of the bar with the window's focus gone or back, then as it
    // is, which stays the present look.
    int drawn = 0;
    for (const bool other : {true, false}) {
        QStyleOptionProgressBar option = Option(value());
        if (other)
            option = OtherWindowState(option);
        Pictures *pictures = PicturesOf(LookOf(option));
        if (!pictures)
            return;
        for (std::size_t i = 0; i < pictures->byValue.size() && drawn < kAheadPerTick; ++i) {
            if (!pictures->byValue[i].isNull())
                continue;
            option.progress = minimum() + int(i);
            pictures->byValue[i] = Draw(option);
            ++drawn;
        }
    }
    // The next few at the window's next pause.
    if (drawn == kAheadPerTick)
        ahead_.start(0);
}

void TProgressBar::AheadWhenQuiet()
{
    // Ahead once no repaint has come for a few milliseconds: not while a
    // run moves the bar.
    ahead_.start(kQuietMs);
}

int TProgressBar::PicturesReady() const
{
    if (pictures_.empty())
        return 0;
    int ready = 0;
    for (const QPixmap &picture : pictures_.front().byValue)
        ready += picture.isNull() ? 0 : 1;
    return ready;
}

void TProgressBar::resizeEvent(QResizeEvent *event)
{
    QProgressBar::resizeEvent(event);
    AheadWhenQuiet();
}

void TProgressBar::changeEvent(QEvent *event)
{
    QProgressBar::changeEvent(event);
    AheadWhenQuiet();
}
