// The "Index" tab of the help window: the keywords of the help file, with a field
// that moves to the first keyword starting with what is typed.
#include "ui/help/HelpIndexPane.h"

#include "help/search/HelpSearch.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int TargetRole = Qt::UserRole;

} // namespace

THelpIndexPane::THelpIndexPane(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("&Tapez le mot clé à rechercher :"));
    filter_ = new QLineEdit;
    filter_->setObjectName(QStringLiteral("HelpIndexFilter"));
    label->setBuddy(filter_);
    keywords_ = new QListWidget;
    keywords_->setObjectName(QStringLiteral("HelpIndex"));
    keywords_->setAccessibleName(QStringLiteral("Mots clés"));
    auto *display = new QPushButton(QStringLiteral("&Afficher"));
    layout->addWidget(label);
    layout->addWidget(filter_);
    layout->addWidget(keywords_, 1);
    layout->addWidget(display, 0, Qt::AlignRight);

    connect(filter_, &QLineEdit::textChanged, this, &THelpIndexPane::match);
    connect(filter_, &QLineEdit::returnPressed, this, [this] { open(keywords_->currentItem()); });
    connect(display, &QPushButton::clicked, this, [this] { open(keywords_->currentItem()); });
    connect(keywords_, &QListWidget::itemActivated, this, &THelpIndexPane::open);
}

void THelpIndexPane::fill(const QList<ChmTopic> &index)
{
    keywords_->clear();
    for (const ChmTopic &topic : index) {
        auto *item = new QListWidgetItem(QString(topic.depth * 4, QLatin1Char(' ')) + topic.name, keywords_);
        item->setData(TargetRole, topic.local);
    }
    filter_->clear();
}

void THelpIndexPane::match(const QString &text)
{
    const QString wanted = HelpSearch::fold(text.trimmed());
    for (int row = 0; row < keywords_->count(); ++row) {
        QListWidgetItem *item = keywords_->item(row);
        if (HelpSearch::fold(item->text().trimmed()).startsWith(wanted)) {
            keywords_->setCurrentItem(item);
            keywords_->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void THelpIndexPane::open(QListWidgetItem *item)
{
    if (item && !item->data(TargetRole).toString().isEmpty())
        emit topicChosen(item->data(TargetRole).toString());
}
