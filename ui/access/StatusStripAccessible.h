// What a screen reader sees of the status strip: a status bar whose
// children are the three painted text panels, then its real widgets.
#pragma once

#include <QAccessibleWidget>

class TStatusStrip;

class TStatusStripAccessible : public QAccessibleWidget
{
public:
    explicit TStatusStripAccessible(TStatusStrip *strip);

    // Installed once by the first strip: builds this interface for a strip
    // and a TStatusPanelAccessible for each of its panel objects.
    static QAccessibleInterface *Factory(const QString &className, QObject *object);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

private:
    TStatusStrip *strip() const;
};
