// The "Sommaire" tab of the help window: the contents of the help file as a tree
// of books and pages that follows the page shown.
#include "ui/help/HelpContentsPane.h"

#include <QStyle>

namespace {

constexpr int TargetRole = Qt::UserRole;

} // namespace

THelpContentsPane::THelpContentsPane(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("HelpContents"));
    setAccessibleName(QStringLiteral("Sommaire"));
    setHeaderHidden(true);
    setColumnCount(1);
    connect(this, &QTreeWidget::currentItemChanged, this, &THelpContentsPane::open);
}

void THelpContentsPane::fill(const QList<ChmTopic> &contents)
{
    const QSignalBlocker blocker(this);
    clear();
    current_.clear();
    QList<QTreeWidgetItem *> parents;
    for (const ChmTopic &topic : contents) {
        parents.resize(std::min<qsizetype>(topic.depth, parents.size()));
        auto *item = parents.isEmpty() ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parents.last());
        item->setText(0, topic.name);
        item->setData(0, TargetRole, topic.local);
        parents.append(item);
    }
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const bool book = (*it)->childCount() > 0;
        (*it)->setIcon(0, style()->standardIcon(book ? QStyle::SP_DirIcon : QStyle::SP_FileIcon));
    }
    expandAll();
}

void THelpContentsPane::follow(const QString &topic)
{
    current_ = topic;
    const QString page = topic.section(QLatin1Char('#'), 0, 0);
    QTreeWidgetItem *best = nullptr;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const QString local = (*it)->data(0, TargetRole).toString();
        if (local == topic) {
            best = *it;
            break;
        }
        if (!best && local.section(QLatin1Char('#'), 0, 0) == page)
            best = *it;
    }
    following_ = true;
    setCurrentItem(best);
    following_ = false;
    if (best)
        scrollToItem(best);
}

void THelpContentsPane::open(QTreeWidgetItem *item)
{
    if (following_ || !item)
        return;
    const QString target = item->data(0, TargetRole).toString();
    if (!target.isEmpty() && target != current_)
        emit topicChosen(target);
}
