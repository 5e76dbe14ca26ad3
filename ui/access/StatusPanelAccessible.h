// What a screen reader sees of one painted panel of the status strip: a
// static text whose name is the panel's text and whose description its role.
#pragma once

#include <QAccessibleObject>

class TStatusStrip;

class TStatusPanelAccessible : public QAccessibleObject
{
public:
    // panel stands for the strip's panel number index; it is a plain child
    // object of the strip, since the panels are painted, not widgets.
    TStatusPanelAccessible(QObject *panel, TStatusStrip *strip, int index);

    bool isValid() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessibleInterface *focusChild() const override { return nullptr; }

private:
    TStatusStrip *strip_;
    int index_;
};
