// The "Rechercher" tab of the help window: a field for the words to look for and
// the list of the pages found.
#include "ui/help/HelpSearchPane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int TargetRole = Qt::UserRole;

} // namespace

THelpSearchPane::THelpSearchPane(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("&Mots à rechercher :"));
    text_ = new QLineEdit;
    text_->setObjectName(QStringLiteral("HelpSearchText"));
    label->setBuddy(text_);
    auto *start = new QPushButton(QStringLiteral("&Rechercher"));
    results_ = new QListWidget;
    results_->setObjectName(QStringLiteral("HelpSearchResults"));
    results_->setAccessibleName(QStringLiteral("Rubriques trouvées"));
    auto *row = new QHBoxLayout;
    row->addWidget(text_, 1);
    row->addWidget(start);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addWidget(results_, 1);

    const auto request = [this] { emit searchRequested(text_->text()); };
    connect(text_, &QLineEdit::returnPressed, this, request);
    connect(start, &QPushButton::clicked, this, request);
    connect(results_, &QListWidget::itemActivated, this, &THelpSearchPane::open);
}

void THelpSearchPane::showResults(const QList<ChmTopic> &pages)
{
    results_->clear();
    for (const ChmTopic &page : pages) {
        auto *item = new QListWidgetItem(page.name, results_);
        item->setData(TargetRole, page.local);
    }
}

void THelpSearchPane::clear()
{
    text_->clear();
    results_->clear();
}

void THelpSearchPane::open(QListWidgetItem *item)
{
    if (item && !item->data(TargetRole).toString().isEmpty())
        emit topicChosen(item->data(TargetRole).toString());
}
