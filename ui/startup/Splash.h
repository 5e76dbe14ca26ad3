// The splash window shown while the main window is being created: the
// product picture, name, version and address on a diamond gradient.
#pragma once

#include <QWidget>

class QTimer;
class TGradient;

class TSplash : public QWidget
{
    Q_OBJECT

public:
    explicit TSplash(QWidget *parent = nullptr);

    // Shows the window and has it painted at once, before any other work.
    void ShowAndPaint();

    TGradient *Gradient() const { return Gradient1; }

public slots:
    // Closes the splash window: the first timer tick or a left click.
    void PanelInsideClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void createLabels(QWidget *inside);

    TGradient *Gradient1 = nullptr;
    QTimer *Timer1 = nullptr;
};
