// The "Rechercher" tab of the help window: a field for the words to look for and
// the list of the pages found.
#include "ui/HelpSearchPane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int TargetRole = Qt::UserRole;

} // namespace

HelpSearchPane::HelpSearchPane(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("&Mots à rechercher :"));
    m_text = new QLineEdit;
    m_text->setObjectName(QStringLiteral("HelpSearchText"));
    label->setBuddy(m_text);
    auto *start = new QPushButton(QStringLiteral("&Rechercher"));
    m_results = new QListWidget;
    m_results->setObjectName(QStringLiteral("HelpSearchResults"));
    m_results->setAccessibleName(QStringLiteral("Rubriques trouvées"));
    auto *row = new QHBoxLayout;
    row->addWidget(m_text, 1);
    row->addWidget(start);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addWidget(m_results, 1);

    const auto request = [this] { emit searchRequested(m_text->text()); };
    connect(m_text, &QLineEdit::returnPressed, this, request);
    connect(start, &QPushButton::clicked, this, request);
    connect(m_results, &QListWidget::itemActivated, this, &HelpSearchPane::open);
}

void HelpSearchPane::showResults(const QList<ChmTopic> &pages)
{
    m_results->clear();
    for (const ChmTopic &page : pages) {
        auto *item = new QListWidgetItem(page.name, m_results);
        item->setData(TargetRole, page.local);
    }
}

void HelpSearchPane::clear()
{
    m_text->clear();
    m_results->clear();
}

void HelpSearchPane::open(QListWidgetItem *item)
{
    if (item && !item->data(TargetRole).toString().isEmpty())
        emit topicChosen(item->data(TargetRole).toString());
}
