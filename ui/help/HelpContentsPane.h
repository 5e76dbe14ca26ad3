// The "Sommaire" tab of the help window: the contents of the help file as a tree
// of books and pages that follows the page shown.
#pragma once

#include "help/reader/ChmFile.h"

#include <QTreeWidget>

class THelpContentsPane : public QTreeWidget
{
    Q_OBJECT

public:
    explicit THelpContentsPane(QWidget *parent = nullptr);

    // Replaces the tree with the contents of a newly opened file.
    void fill(const QList<ChmTopic> &contents);
    // Selects the entry of the page shown (its exact topic, else its first entry
    // on the same page) without opening it again.
    void follow(const QString &topic);

signals:
    // The user chose an entry that leads to another page than the one shown.
    void topicChosen(const QString &target);

private:
    void open(QTreeWidgetItem *item);

    QString current_;
    bool following_ = false;
};
