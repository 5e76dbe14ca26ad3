// How the program's windows describe themselves to screen readers.
#include "ui/access/Accessibility.h"

#include "ui/access/Announcer.h"
#include "ui/access/LineEditAccessible.h"
#include "ui/access/MenuItemAccessible.h"
#include "ui/access/StatusStripAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

// A page of a tab widget: a panel named after its tab unless it has a name
// of its own.
class TTabPageAccessible : public QAccessibleWidget
{
public:
    TTabPageAccessible(QWidget *page, QTabWidget *tabs) : QAccessibleWidget(page, QAccessible::Pane), tabs_(tabs) {}

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty() && tabs_)
            text = tabs_->tabText(tabs_->indexOf(widget())).remove(QLatin1Char('&'));
        return text;
    }

private:
    QPointer<QTabWidget> tabs_;
};

// The pages of a tab widget. Qt reads the page stack as a "layered pane",
// which readers announce, unnamed, each time the focus enters a page; and
// each page as a filler, which they skip. Here the stack is the filler and
// each page a panel named after its tab, so that a reader says which page
// the focus has entered (Ctrl+Tab).
QAccessibleInterface *TabPagesFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->parentWidget())
        return nullptr;
    if (qobject_cast<QStackedWidget *>(widget) && qobject_cast<QTabWidget *>(widget->parentWidget()))
        return new QAccessibleWidget(widget, QAccessible::Client);
    auto *stack = qobject_cast<QStackedWidget *>(widget->parentWidget());
    if (auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr)
        return new TTabPageAccessible(widget, tabs);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&TLineEditAccessible::Factory);
        QAccessible::installFactory(&TAnnouncer::Factory);
        QAccessible::installFactory(&TMenuItemAccessible::Factory);
        QAccessible::installFactory(&TStatusStripAccessible::Factory);
        QAccessible::installFactory(&TabPagesFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void DescribeAnew(QWidget *widget)
{
    QAccessibleInterface *early = QAccessible::queryAccessibleInterface(widget);
    if (early)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(early));
}
