// What a screen reader sees of one painted panel of the status strip: a
// static text whose name is the panel's text and whose description its role.
#include "ui/access/StatusPanelAccessible.h"

#include "ui/status/StatusStrip.h"

#include <QPointer>

TStatusPanelAccessible::TStatusPanelAccessible(QObject *panel, TStatusStrip *strip, int index)
    : QAccessibleObject(panel), strip_(strip), index_(index)
{
}

bool TStatusPanelAccessible::isValid() const
{
    // The panel object is a child of the strip, so it never outlives it.
    return QAccessibleObject::isValid();
}

QAccessibleInterface *TStatusPanelAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(strip_);
}

QAccessible::State TStatusPanelAccessible::state() const
{
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = !strip_->isVisible();
    return state;
}

QString TStatusPanelAccessible::text(QAccessible::Text t) const
{
    // Like a label: the name is what the panel shows, so a reader hears
    // "Terminé..." itself; the description says which panel it is.
    switch (t) {
    case QAccessible::Name: return strip_->PanelText(index_);
    case QAccessible::Description: return TStatusStrip::PanelTitle(index_);
    default: return QString();
    }
}

QRect TStatusPanelAccessible::rect() const
{
    const QRect local = strip_->PanelRect(index_);
    return QRect(strip_->mapToGlobal(local.topLeft()), local.size());
}
