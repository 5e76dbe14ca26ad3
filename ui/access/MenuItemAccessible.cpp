// What a screen reader sees of a menu's item.
#include "ui/access/MenuItemAccessible.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QRegularExpression>

TMenuItemAccessible::TMenuItemAccessible(QMenu *owner, QAction *action)
    : owner_(owner), action_(action)
{
}

QAccessibleInterface *TMenuItemAccessible::Factory(const QString &, QObject *object)
{
    auto *action = qobject_cast<QAction *>(object);
    if (!action)
        return nullptr;
    // Items of a menu bar keep Qt's description: their menu opens below.
    for (QObject *associated : action->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(associated); menu && menu->menuAction() != action)
            return new TMenuItemAccessible(menu, action);
    }
    return nullptr;
}

void *TMenuItemAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
}

bool TMenuItemAccessible::isValid() const
{
    return owner_ && action_;
}

QObject *TMenuItemAccessible::object() const
{
    return action_;
}

QWindow *TMenuItemAccessible::window() const
{
    return owner_ ? owner_->windowHandle() : nullptr;
}

QAccessibleInterface *TMenuItemAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(owner_);
}

QAccessibleInterface *TMenuItemAccessible::child(int index) const
{
    QMenu *const submenu = action_ ? action_->menu() : nullptr;
    return index == 0 && submenu ? QAccessible::queryAccessibleInterface(submenu) : nullptr;
}

int TMenuItemAccessible::childCount() const
{
    return action_ && action_->menu() ? 1 : 0;
}

int TMenuItemAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return child && action_ && child->object() == action_->menu() ? 0 : -1;
}

QAccessible::Role TMenuItemAccessible::role() const
{
    return action_ && action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
}

QAccessible::State TMenuItemAccessible::state() const
{
    QAccessible::State state;
    if (!isValid())
        return state;
    state.focusable = true;
    state.focused = owner_->activeAction() == action_.data();
    state.selected = state.focused;
    state.invisible = !owner_->isVisible() || !action_->isVisible();
    state.disabled = !action_->isEnabled();
    state.checkable = action_->isCheckable();
    state.checked = action_->isChecked();
    state.hasPopup = action_->menu() != nullptr;
    return state;
}

QString TMenuItemAccessible::text(QAccessible::Text t) const
{
    if (!action_)
        return QString();
    switch (t) {
    case QAccessible::Name: {
        // What the item shows, without its mnemonic sign or the shortcut
        // after a tab.
        QString name = action_->text().section(QLatin1Char('\t'), 0, 0);
        name.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        return name.replace(QStringLiteral("&&"), QStringLiteral("&"));
    }
    case QAccessible::Accelerator:
        return action_->shortcut().toString(QKeySequence::NativeText);
    case QAccessible::Description:
        return action_->statusTip();
    default:
        return QString();
    }
}

QRect TMenuItemAccessible::rect() const
{
    if (!isValid())
        return QRect();
    const QRect local = owner_->actionGeometry(action_);
    return QRect(owner_->mapToGlobal(local.topLeft()), local.size());
}

QStringList TMenuItemAccessible::actionNames() const
{
    if (!action_ || !action_->isEnabled())
        return {};
    return action_->menu() ? QStringList{showMenuAction()} : QStringList{pressAction()};
}

void TMenuItemAccessible::doAction(const QString &actionName)
{
    if (!isValid() || !action_->isEnabled())
        return;
    if (actionName == pressAction())
        action_->trigger();
    else if (actionName == showMenuAction() && action_->menu())
        owner_->setActiveAction(action_);
}

QStringList TMenuItemAccessible::keyBindingsForAction(const QString &) const
{
    // AT-SPI readers split a binding into mnemonic, path and accelerator
    // at its semicolons, and speak the accelerator of a menu item.
    const QString shortcut = action_ ? action_->shortcut().toString(QKeySequence::NativeText) : QString();
    if (shortcut.isEmpty())
        return {};
    return {QString(), QString(), shortcut};
}
