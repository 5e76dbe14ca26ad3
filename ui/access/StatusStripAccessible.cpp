// What a screen reader sees of the status strip: a status bar whose
// children are the three painted text panels, then its real widgets.
#include "ui/access/StatusStripAccessible.h"

#include "ui/access/StatusPanelAccessible.h"
#include "ui/status/StatusStrip.h"

TStatusStripAccessible::TStatusStripAccessible(TStatusStrip *strip)
    : QAccessibleWidget(strip, QAccessible::StatusBar)
{
}

QAccessibleInterface *TStatusStripAccessible::Factory(const QString &, QObject *object)
{
    if (auto *strip = qobject_cast<TStatusStrip *>(object))
        return new TStatusStripAccessible(strip);
    if (!object)
        return nullptr;
    auto *strip = qobject_cast<TStatusStrip *>(object->parent());
    if (!strip)
        return nullptr;
    const int index = strip->PanelIndex(object);
    return index < 0 ? nullptr : new TStatusPanelAccessible(object, strip, index);
}

TStatusStrip *TStatusStripAccessible::strip() const
{
    return static_cast<TStatusStrip *>(widget());
}

int TStatusStripAccessible::childCount() const
{
    return int(TStatusStrip::kReadablePanels.size()) + QAccessibleWidget::childCount();
}

QAccessibleInterface *TStatusStripAccessible::child(int index) const
{
    const int panels = int(TStatusStrip::kReadablePanels.size());
    if (index < 0)
        return nullptr;
    if (index < panels)
        return QAccessible::queryAccessibleInterface(strip()->PanelObject(TStatusStrip::kReadablePanels[size_t(index)]));
    return QAccessibleWidget::child(index - panels);
}

int TStatusStripAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    const int panels = int(TStatusStrip::kReadablePanels.size());
    const int panel = strip()->PanelIndex(child->object());
    for (int i = 0; i < panels; ++i)
        if (TStatusStrip::kReadablePanels[size_t(i)] == panel)
            return i;
    const int index = QAccessibleWidget::indexOfChild(child);
    return index < 0 ? -1 : index + panels;
}
