// The "Index" tab of the help window: the keywords of the help file, with a field
// that moves to the first keyword starting with what is typed.
#pragma once

#include "help/reader/ChmFile.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

class THelpIndexPane : public QWidget
{
    Q_OBJECT

public:
    explicit THelpIndexPane(QWidget *parent = nullptr);

    // Replaces the keywords with the index of a newly opened file.
    void fill(const QList<ChmTopic> &index);

signals:
    // The user chose a keyword that leads to a page.
    void topicChosen(const QString &target);

private:
    void match(const QString &text);
    void open(QListWidgetItem *item);

    QLineEdit *filter_ = nullptr;
    QListWidget *keywords_ = nullptr;
};
