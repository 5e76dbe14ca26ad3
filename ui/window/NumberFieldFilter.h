// The filter of the four number fields: typed keys, text composed by an
// input method and dropped text follow the digit rules; Enter starts a run
// and files dropped on a field open as on the window.
#pragma once

#include <QObject>

class QDropEvent;
class QEvent;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMimeData;

// Whether a drag or a drop carries at least one local file.
bool HoldsLocalFiles(const QMimeData *data);
// Whether the event is Ctrl+C or Ctrl+V asking to be claimed by a line edit
// or the text view for their selection; left unclaimed, the keys reach the
// window's Copier and Coller, which take the whole text.
bool IsWholeTextClipboardKey(const QEvent *event);

class TNumberFieldFilter : public QObject
{
    Q_OBJECT

public:
    // Message boxes about the digit limit are centred on the owner.
    explicit TNumberFieldFilter(QWidget *owner);

    void Watch(QLineEdit *field);

signals:
    // Enter in a field.
    void StartRequested();
    // Files dropped on a field, to open in turn.
    void FilesDropped(const QMimeData *data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool EditNombreKeyPress(QLineEdit *field, QKeyEvent *event);
    bool FilterInputMethod(QLineEdit *field, QInputMethodEvent *event);
    bool FilterDrop(QLineEdit *field, QDropEvent *event);

    QWidget *owner_;
};
