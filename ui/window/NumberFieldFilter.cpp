// The filter of the four number fields: typed keys, text composed by an
// input method and dropped text follow the digit rules; Enter starts a run
// and files dropped on a field open as on the window.
#include "ui/window/NumberFieldFilter.h"

#include "core/NumberEntry.h"
#include "presentation/Messages.h"
#include "ui/common/MessageBoxes.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

#include <algorithm>

bool HoldsLocalFiles(const QMimeData *data)
{
    if (!data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); });
}

bool IsWholeTextClipboardKey(const QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const QKeyCombination combination = static_cast<const QKeyEvent *>(event)->keyCombination();
    return combination == QKeyCombination(Qt::ControlModifier, Qt::Key_C)
           || combination == QKeyCombination(Qt::ControlModifier, Qt::Key_V);
}

TNumberFieldFilter::TNumberFieldFilter(QWidget *owner)
    : QObject(owner), owner_(owner)
{
}

void TNumberFieldFilter::Watch(QLineEdit *field)
{
    field->installEventFilter(this);
}

bool TNumberFieldFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        return IsWholeTextClipboardKey(event);
    case QEvent::KeyPress:
        return EditNombreKeyPress(field, static_cast<QKeyEvent *>(event));
    case QEvent::InputMethod:
        return FilterInputMethod(field, static_cast<QInputMethodEvent *>(event));
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return FilterDrop(field, static_cast<QDropEvent *>(event));
    default:
        return false;
    }
}

bool TNumberFieldFilter::EditNombreKeyPress(QLineEdit *field, QKeyEvent *event)
{
    QChar key;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        key = KeyEnter;
    } else if (event->key() == Qt::Key_Backspace) {
        key = KeyBackspace;
    } else {
        // Keys that type no character (arrows, Delete, Tab, Escape, F1) and
        // the Ctrl shortcuts pass untouched. Any other key with a text is
        // one the field would insert, Alt, Meta and AltGr included (the rule
        // of QLineEdit itself), so it goes through the filter.
        const QString text = event->text();
        if (text.isEmpty() || text[0].category() == QChar::Other_Control)
            return false;
        const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
        if (text[0].category() != QChar::Other_Format
            && (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier)))
            return false;
        if (text.size() > 1) {
            // A key that types several characters at once, as a compose
            // sequence may: its digits are kept.
            const FilteredEntry filtered = FilterTypedText(text, int(field->selectedText().size()), int(field->text().size()));
            if (!filtered.kept.isEmpty())
                field->insert(filtered.kept);
            if (filtered.limitReached)
                AfficherMessage(mtInformation, DigitLimitMessage(), owner_);
            return true;
        }
        key = text[0];
    }

    switch (FiltrerTouche(key, field->hasSelectedText(), int(field->text().size()))) {
    case KeyVerdict::Start:
        emit StartRequested();
        return true;
    case KeyVerdict::Accept:
        return false;
    case KeyVerdict::Discard:
        return true;
    case KeyVerdict::DiscardWithLimit:
        AfficherMessage(mtInformation, DigitLimitMessage(), owner_);
        return true;
    }
    return false;
}

bool TNumberFieldFilter::FilterInputMethod(QLineEdit *field, QInputMethodEvent *event)
{
    // Text composed by an input method (a dead key, a compose sequence)
    // arrives here rather than as a key, and follows the same rules. The
    // text being composed is only shown; what is committed is filtered.
    const QString commit = event->commitString();
    if (commit.isEmpty())
        return false;
    const FilteredEntry filtered = FilterTypedText(commit, int(field->selectedText().size()), int(field->text().size()));
    if (filtered.kept == commit)
        return false;
    QInputMethodEvent kept(event->preeditString(), event->attributes());
    kept.setCommitString(filtered.kept, event->replacementStart(), event->replacementLength());
    QCoreApplication::sendEvent(field, &kept);
    if (filtered.limitReached)
        AfficherMessage(mtInformation, DigitLimitMessage(), owner_);
    return true;
}

bool TNumberFieldFilter::FilterDrop(QLineEdit *field, QDropEvent *event)
{
    // Files dropped onto a field open as they do anywhere on the window.
    if (HoldsLocalFiles(event->mimeData())) {
        event->acceptProposedAction();
        if (event->type() == QEvent::Drop)
            emit FilesDropped(event->mimeData());
        return true;
    }
    // Dropped text is taken only when it is digits that fit within the
    // limit; anything else is refused whole, as the drag's cursor shows.
    const QString text = event->mimeData()->hasText() ? event->mimeData()->text() : QString();
    const bool digits = !text.isEmpty()
                        && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (digits && field->text().size() + text.size() <= NombreChiffresMax)
        return false;
    event->ignore();
    return true;
}
