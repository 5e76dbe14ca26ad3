// What a screen reader says when a run ends.
#include "ui/access/Announcer.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QWidget>

namespace {

// The notification as a reader sees it: named by its text, a child of the
// window, with no place on screen.
class TAnnouncerAccessible : public QAccessibleObject
{
public:
    explicit TAnnouncerAccessible(TAnnouncer *announcer) : QAccessibleObject(announcer) {}

    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        return state;
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<TAnnouncer *>(object())->Text() : QString();
    }
    QRect rect() const override { return QRect(); }
    QAccessibleInterface *focusChild() const override { return nullptr; }
};

} // namespace

TAnnouncer::TAnnouncer(QWidget *window)
    : QObject(window)
{
    setObjectName(QStringLiteral("Annonce"));
}

void TAnnouncer::Announce(const QString &text)
{
    text_ = text;
    // A reader speaks a notification when it starts showing.
    QAccessibleEvent event(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
}

QAccessibleInterface *TAnnouncer::Factory(const QString &, QObject *object)
{
    auto *announcer = qobject_cast<TAnnouncer *>(object);
    return announcer ? new TAnnouncerAccessible(announcer) : nullptr;
}
