// The read-only rich-text report view: lines appended one paragraph at a
// time, bold or italic per line, centred or left-aligned paragraphs.
#include "ui/report/ReportView.h"

#include "ui/common/Fonts.h"
#include "ui/report/ListLayout.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

Qt::Alignment ToQt(ParagraphAlignment alignment)
{
    return alignment == ParagraphAlignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
}

// Points to pixels at the 96 dots per inch the layout is drawn for.
qreal PointsToPixels(qreal points)
{
    return points * 96.0 / 72.0;
}

} // namespace

TReportView::TReportView(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("Editeur"));
    setReadOnly(true);
    setAcceptRichText(false);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QTextEdit::WidgetWidth);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);

    QFont font = TimesNewRomanFont(14);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    document()->setDefaultFont(font);
    setFont(font);
    setTabChangesFocus(true);
}

void TReportView::Clear()
{
    // A list shown last has a layout of its own, one line per paragraph;
    // reports get a fresh document with the ordinary layout again.
    if (qobject_cast<TListLayout *>(document()->documentLayout())) {
        QTextDocument *list = document();
        auto *fresh = new QTextDocument(this);
        fresh->setDefaultFont(list->defaultFont());
        setDocument(fresh);
        delete list;
    }
    clear();
    linesAdded_ = 0;
    QTextCharFormat format;
    format.setForeground(Qt::black);
    QTextCursor cursor(document());
    cursor.setBlockCharFormat(format);
    setCurrentCharFormat(format);
}

void TReportView::SetAlignment(ParagraphAlignment alignment)
{
    alignment_ = ToQt(alignment);
    // The paragraph being written takes the alignment too, as a caret at the
    // end of the text would.
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat format = cursor.blockFormat();
    format.setAlignment(alignment_);
    cursor.setBlockFormat(format);
}

QTextBlockFormat TReportView::BlockFormat() const
{
    QTextBlockFormat format;
    format.setAlignment(alignment_);
    return format;
}

void TReportView::AddLine(const QString &text, LineStyle style)
{
    QTextCharFormat format;
    format.setForeground(Qt::black);
    format.setFontWeight(style == LineStyle::Bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style == LineStyle::Italic);

    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // The first line of an emptied view goes into its one empty paragraph.
    if (linesAdded_ == 0 && document()->isEmpty()) {
        cursor.setBlockFormat(BlockFormat());
        cursor.setBlockCharFormat(format);
    } else {
        cursor.insertBlock(BlockFormat(), format);
    }
    cursor.insertText(text, format);
    ++linesAdded_;
}

QTextDocument *TReportView::BuildPlainDocument(QString lines, ParagraphAlignment alignment,
                                               qreal firstLineIndentPt, const QFont &font)
{
    // Each line of the text is a paragraph; the end of the last line does
    // not open another. A NUL in binary data would end the text early.
    if (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    lines.replace(QChar(0), QChar::ReplacementCharacter);

    QTextBlockFormat format;
    format.setAlignment(ToQt(alignment));
    format.setTextIndent(PointsToPixels(firstLineIndentPt));
    QTextCharFormat black;
    black.setForeground(Qt::black);
    // The text goes into a document of its own before the view shows it: a
    // document the view displays would be laid out again at each step.
    // Every paragraph the insertion opens takes the format of the one the
    // cursor stands in, so a list of many thousand lines needs no second
    // pass over the document.
    auto *loaded = new QTextDocument;
    // A view that cannot be edited keeps no undo history of its loading.
    loaded->setUndoRedoEnabled(false);
    loaded->setDefaultFont(font);
    QTextCursor cursor(loaded);
    cursor.setBlockFormat(format);
    cursor.setBlockCharFormat(black);
    cursor.insertText(lines, black);
    return loaded;
}

QTextDocument *TReportView::ShowDocument(QTextDocument *loaded, ParagraphAlignment alignment)
{
    alignment_ = ToQt(alignment);
    loaded->setParent(this);
    // A list may hold hundreds of thousands of lines: they are laid out
    // only as they come into view.
    loaded->setDocumentLayout(new TListLayout(loaded));
    // The view's first document belongs to the view, which deletes it when
    // it is replaced; the ones loaded here go back to the caller.
    QTextDocument *previous = document();
    const bool loadedBefore = previous->parent() == this && previous != loaded;
    setDocument(loaded);
    linesAdded_ = loaded->blockCount();
    if (!loadedBefore)
        return nullptr;
    previous->setParent(nullptr);
    return previous;
}

QStringList TReportView::Lines() const
{
    QStringList lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

void TReportView::ReplaceText(const QString &text)
{
    const QTextBlockFormat format = BlockFormat();
    setPlainText(text);
    linesAdded_ = document()->blockCount();
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(format);
}
