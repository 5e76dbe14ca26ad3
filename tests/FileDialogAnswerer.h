// Answers the file dialogs a test provokes: it records what each dialog
// proposed, then accepts it with a given path or cancels it.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

class FileDialogAnswerer : public QObject
{
public:
    struct Seen {
        QString proposedName;
        QString directory;
        QStringList filters;
        QString defaultSuffix;
    };

    // Each dialog gets the next path; an empty path cancels it.
    explicit FileDialogAnswerer(QStringList paths, QObject *parent = nullptr)
        : QObject(parent), paths_(std::move(paths))
    {
        connect(&timer_, &QTimer::timeout, this, &FileDialogAnswerer::Poll);
        timer_.start(5);
    }

    QList<Seen> dialogs;

private:
    void Poll()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        // Answering hides the dialog at once, so a visible one is new, even
        // when its owner shows the same object again.
        if (!dialog || !dialog->isVisible())
            return;
        const auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        dialogs.append({nameEdit ? nameEdit->text() : QString(),
                        dialog->directory().absolutePath(), dialog->nameFilters(), dialog->defaultSuffix()});
        const QString path = paths_.isEmpty() ? QString() : paths_.takeFirst();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setDirectory(QFileInfo(path).absolutePath());
        dialog->selectFile(path);
        // An open dialog takes a name only once its folder has been read;
        // typing it, as a user would, does not wait for that.
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept checks the name
    }

    QStringList paths_;
    QTimer timer_;
};
