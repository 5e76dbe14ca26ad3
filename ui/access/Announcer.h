// What a screen reader says when a run ends: a notification, which readers
// speak as it shows, whatever has the keyboard focus. Nothing is shown on
// screen; a sighted user reads the same in the report and the strip.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

class TAnnouncer : public QObject
{
    Q_OBJECT

public:
    // A child of the window it speaks for; its factory must be installed
    // (InstallAccessibility) before a reader asks for it.
    explicit TAnnouncer(QWidget *window);

    // Shows the notification with this text, at once, to whatever reader
    // listens; Qt drops the event when none does.
    void Announce(const QString &text);
    QString Text() const { return text_; }

    static class QAccessibleInterface *Factory(const QString &className, QObject *object);

private:
    QString text_;
};
