// What a screen reader sees of an item of a pop-up or drop-down menu: Qt's
// own description of it, with its shortcut given where readers look for it,
// as the accelerator of the item's key binding (";;Ctrl+C").
#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class QAction;
class QMenu;

class TMenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    TMenuItemAccessible(QMenu *owner, QAction *action);

    // For QAccessible::installFactory: every action shown in a QMenu.
    static QAccessibleInterface *Factory(const QString &className, QObject *object);

    void *interface_cast(QAccessible::InterfaceType type) override;
    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    QPointer<QMenu> owner_;
    QPointer<QAction> action_;
};
