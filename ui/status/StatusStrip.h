// The status strip along the bottom of the main window: four text panels
// and a last panel that holds the progress bar.
#pragma once

#include <QStatusBar>

#include <array>

class QProgressBar;

class TStatusStrip : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int kPanelCount = 5;
    static constexpr int kHeight = 22;
    // Pixels left free at the right end of the last panel for the size grip.
    static constexpr int kGripMargin = 12;

    explicit TStatusStrip(QWidget *parent = nullptr);

    Q_INVOKABLE QString PanelText(int index) const;
    Q_INVOKABLE void SetPanelText(int index, const QString &text);

    // The rectangle of a panel in the strip's coordinates; the last one
    // reaches the right end of the strip.
    QRect PanelRect(int index) const;

    QProgressBar *ProgressBar() const { return progressBar_; }

    // The panels with texts (time, percentage, state), each standing for a
    // screen reader as a child object of the strip with a French title.
    static constexpr std::array<int, 3> kReadablePanels = {1, 2, 3};
    static QString PanelTitle(int index);
    QObject *PanelObject(int index) const;
    // The panel a panel object stands for, or -1.
    int PanelIndex(const QObject *object) const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void StatusBar1DrawPanel(int index, const QRect &rect);
    void LayOutPanels();

    // The panels are painted by the strip itself: setting a text only marks
    // its panel for repainting, so a running computation may set texts at
    // any rate.
    QString texts_[kPanelCount];
    QProgressBar *progressBar_ = nullptr;
    QObject *panelObjects_[kPanelCount] = {};
};
