// The "Index" tab of the help window: the keywords of the help file, with a field
// that moves to the first keyword starting with what is typed.
#include "ui/HelpIndexPane.h"

#include "ui/HelpSearch.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int TargetRole = Qt::UserRole;

} // namespace

HelpIndexPane::HelpIndexPane(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("&Tapez le mot clé à rechercher :"));
    m_filter = new QLineEdit;
    m_filter->setObjectName(QStringLiteral("HelpIndexFilter"));
    label->setBuddy(m_filter);
    m_keywords = new QListWidget;
    m_keywords->setObjectName(QStringLiteral("HelpIndex"));
    m_keywords->setAccessibleName(QStringLiteral("Mots clés"));
    auto *display = new QPushButton(QStringLiteral("&Afficher"));
    layout->addWidget(label);
    layout->addWidget(m_filter);
    layout->addWidget(m_keywords, 1);
    layout->addWidget(display, 0, Qt::AlignRight);

    connect(m_filter, &QLineEdit::textChanged, this, &HelpIndexPane::match);
    connect(m_filter, &QLineEdit::returnPressed, this, [this] { open(m_keywords->currentItem()); });
    connect(display, &QPushButton::clicked, this, [this] { open(m_keywords->currentItem()); });
    connect(m_keywords, &QListWidget::itemActivated, this, &HelpIndexPane::open);
}

void HelpIndexPane::fill(const QList<ChmTopic> &index)
{
    m_keywords->clear();
    for (const ChmTopic &topic : index) {
        auto *item = new QListWidgetItem(QString(topic.depth * 4, QLatin1Char(' ')) + topic.name, m_keywords);
        item->setData(TargetRole, topic.local);
    }
    m_filter->clear();
}

void HelpIndexPane::match(const QString &text)
{
    const QString wanted = HelpSearch::fold(text.trimmed());
    for (int row = 0; row < m_keywords->count(); ++row) {
        QListWidgetItem *item = m_keywords->item(row);
        if (HelpSearch::fold(item->text().trimmed()).startsWith(wanted)) {
            m_keywords->setCurrentItem(item);
            m_keywords->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpIndexPane::open(QListWidgetItem *item)
{
    if (item && !item->data(TargetRole).toString().isEmpty())
        emit topicChosen(item->data(TargetRole).toString());
}
