// The status strip's progress bar, painted from pictures of itself. The
// style draws the bar's fine lines pixel by pixel, and Qt's raster engine
// hands drawing of that many pieces to its thread pool and waits for it:
// every repaint during a run would wake pool threads on cores that the run
// keeps busy, and the window would wait for them. The pictures are drawn by
// the same style, once for each look of the bar (its value, size, palette
// and state), the others ahead while the window is idle, with the window's
// focus as it is and as it would be without it, so that a repaint is one
// copy.
#pragma once

#include <QPalette>
#include <QPixmap>
#include <QProgressBar>
#include <QStyle>
#include <QTimer>

#include <vector>

class TProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    explicit TProgressBar(QWidget *parent = nullptr);

    // The pictures at hand for the bar's present look (tests).
    int PicturesReady() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Everything but the value that decides what the style draws.
    struct Look {
        QSize size;
        qreal pixelRatio = 1;
        QStyle::State state;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        qint64 palette = 0;
        QPalette::ColorGroup group = QPalette::Active;
        int minimum = 0;
        int maximum = 0;
        const QStyle *style = nullptr;
        bool textVisible = false;
        Qt::Alignment textAlignment;
        bool inverted = false;
        bool bottomToTop = false;
        bool operator==(const Look &other) const = default;
    };
    struct Pictures {
        Look look;
        std::vector<QPixmap> byValue;
    };

    QStyleOptionProgressBar Option(int value) const;
    static QStyleOptionProgressBar OtherWindowState(QStyleOptionProgressBar option);
    Look LookOf(const QStyleOptionProgressBar &option) const;
    // The pictures of the look, made the present one; nothing when the
    // range is too wide to keep a picture per value.
    Pictures *PicturesOf(const Look &look);
    QPixmap Draw(const QStyleOptionProgressBar &option) const;
    void DrawAhead();
    void AheadWhenQuiet();

    // The present look and the one before (a window that loses and regains
    // its focus switches between two).
    std::vector<Pictures> pictures_;
    QTimer ahead_;
    static constexpr int kLargestRange = 1000;
    // About two milliseconds of drawing at a time.
    static constexpr int kAheadPerTick = 8;
    static constexpr int kQuietMs = 15;
};
