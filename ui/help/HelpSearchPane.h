// The "Rechercher" tab of the help window: a field for the words to look for and
// the list of the pages found.
#pragma once

#include "help/reader/ChmFile.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

class THelpSearchPane : public QWidget
{
    Q_OBJECT

public:
    explicit THelpSearchPane(QWidget *parent = nullptr);

    // Lists the pages found for the last search.
    void showResults(const QList<ChmTopic> &pages);
    // Empties the field and the results, for a newly opened file.
    void clear();

signals:
    // The user asked for the pages holding the words typed.
    void searchRequested(const QString &query);
    // The user chose a page among the results.
    void topicChosen(const QString &target);

private:
    void open(QListWidgetItem *item);

    QLineEdit *text_ = nullptr;
    QListWidget *results_ = nullptr;
};
