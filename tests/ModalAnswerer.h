// Answers the modal message boxes a test provokes: it records each box's
// caption, text, icon and buttons, then clicks the button it was told to.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

class ModalAnswerer : public QObject
{
public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
        QStringList buttons;
        QString defaultButton;
        QString escapeButton;
    };

    // Each box gets the next answer (a button text); with none left, the
    // default button is clicked.
    explicit ModalAnswerer(QStringList answers = {}, QObject *parent = nullptr)
        : QObject(parent), answers_(std::move(answers))
    {
        connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
        timer_.start(5);
    }

    QList<Box> boxes;

private:
    void Poll()
    {
        // A dialog kept by its owner comes back as the same object.
        if (current_ && !current_->isVisible())
            current_ = nullptr;
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == current_ || !box->isVisible())
            return;
        current_ = box;
        Box seen;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        seen.escapeButton = box->escapeButton() ? box->escapeButton()->text() : QString();
        boxes << seen;

        QAbstractButton *target = box->defaultButton();
        if (!answers_.isEmpty()) {
            const QString wanted = answers_.takeFirst();
            for (QAbstractButton *b : box->buttons())
                if (b->text() == wanted)
                    target = b;
        }
        if (target)
            target->click();
    }

    QStringList answers_;
    QTimer timer_;
    QPointer<QMessageBox> current_;
};
