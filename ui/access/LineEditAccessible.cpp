// What a screen reader sees of a single-line field.
#include "ui/access/LineEditAccessible.h"

#include "ui/access/TextBoundaries.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

TLineEditAccessible::TLineEditAccessible(QLineEdit *field)
    : QAccessibleWidget(field, QAccessible::EditableText)
{
    addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

QAccessibleInterface *TLineEditAccessible::Factory(const QString &, QObject *object)
{
    auto *field = qobject_cast<QLineEdit *>(object);
    return field ? new TLineEditAccessible(field) : nullptr;
}

QLineEdit *TLineEditAccessible::field() const
{
    return static_cast<QLineEdit *>(widget());
}

QString TLineEditAccessible::readable() const
{
    return field()->echoMode() == QLineEdit::Normal ? field()->text() : QString();
}

void *TLineEditAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TLineEditAccessible::text(QAccessible::Text t) const
{
    QString text;
    if (t == QAccessible::Value) {
        if (field()->echoMode() == QLineEdit::Normal)
            text = field()->text();
        else if (field()->echoMode() != QLineEdit::NoEcho)
            text = QString(field()->text().size(), QLatin1Char('*'));
    }
    if (text.isEmpty())
        text = QAccessibleWidget::text(t);
    if (text.isEmpty() && t == QAccessible::Description)
        text = field()->placeholderText();
    return text;
}

void TLineEditAccessible::setText(QAccessible::Text t, const QString &text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    field()->setText(text);
}

QAccessible::State TLineEditAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !field()->isReadOnly();
    state.readOnly = field()->isReadOnly();
    state.passwordEdit = field()->echoMode() != QLineEdit::Normal;
    state.selectableText = true;
    return state;
}

void TLineEditAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !field()->hasSelectedText())
        return;
    *startOffset = field()->selectionStart();
    *endOffset = field()->selectionEnd();
}

int TLineEditAccessible::selectionCount() const
{
    return field()->hasSelectedText() ? 1 : 0;
}

void TLineEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TLineEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        field()->deselect();
}

void TLineEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        field()->setSelection(startOffset, endOffset - startOffset);
}

int TLineEditAccessible::cursorPosition() const
{
    return field()->cursorPosition();
}

void TLineEditAccessible::setCursorPosition(int position)
{
    field()->setCursorPosition(position);
}

QString TLineEditAccessible::text(int startOffset, int endOffset) const
{
    const QString text = readable();
    // -1 as the end, as AT-SPI asks for the whole text.
    if (endOffset < 0 || endOffset > text.size())
        endOffset = int(text.size());
    if (startOffset < 0 || startOffset > endOffset)
        return QString();
    return text.mid(startOffset, endOffset - startOffset);
}

QString TLineEditAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                              int *endOffset) const
{
    return TextBoundaries::Piece(readable(), offset, boundaryType, TextBoundaries::Which::Before, startOffset, endOffset);
}

QString TLineEditAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                             int *endOffset) const
{
    return TextBoundaries::Piece(readable(), offset, boundaryType, TextBoundaries::Which::After, startOffset, endOffset);
}

QString TLineEditAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                          int *endOffset) const
{
    return TextBoundaries::Piece(readable(), offset, boundaryType, TextBoundaries::Which::At, startOffset, endOffset);
}

int TLineEditAccessible::characterCount() const
{
    return int(field()->text().size());
}

QRect TLineEditAccessible::characterRect(int offset) const
{
    // Where the character lies in the field, in screen coordinates, for a
    // magnifier: the text's left edge inside the frame, then the advance of
    // what comes before it. A field whose text is scrolled shows it further
    // left than this says.
    const QString text = field()->displayText();
    if (offset < 0 || offset >= text.size())
        return QRect();
    QStyleOptionFrame option;
    option.initFrom(field());
    option.lineWidth = field()->hasFrame() ? field()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const QRect inside = field()->style()->subElementRect(QStyle::SE_LineEditContents, &option, field())
                             .marginsRemoved(field()->textMargins());
    const QFontMetrics metrics(field()->font());
    const int left = inside.left() + 2 + metrics.horizontalAdvance(text.left(offset));
    const QRect local(left, inside.top() + (inside.height() - metrics.height()) / 2,
                      metrics.horizontalAdvance(text.at(offset)), metrics.height());
    return QRect(field()->mapToGlobal(local.topLeft()), local.size());
}

int TLineEditAccessible::offsetAtPoint(const QPoint &point) const
{
    return field()->cursorPositionAt(field()->mapFromGlobal(point));
}

void TLineEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    field()->setCursorPosition(endIndex);
    field()->setCursorPosition(startIndex);
}

QString TLineEditAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One run of the field's font over the whole text.
    *startOffset = *endOffset = offset;
    const int length = characterCount();
    if (offset < 0 || offset > length)
        return QString();
    *startOffset = 0;
    *endOffset = length;
    return QString();
}

void TLineEditAccessible::deleteText(int startOffset, int endOffset)
{
    field()->setText(field()->text().remove(startOffset, endOffset - startOffset));
}

void TLineEditAccessible::insertText(int offset, const QString &text)
{
    field()->setText(field()->text().insert(offset, text));
}

void TLineEditAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    field()->setText(field()->text().replace(startOffset, endOffset - startOffset, text));
}
