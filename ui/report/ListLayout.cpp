// The layout of a list shown in the report view: one line per paragraph,
// all of one height, laid out only when painted or hit, so that a list of
// any length shows at once and the window never stops for it.
#include "ui/report/ListLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

TListLayout::TListLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document)
{
}

qreal TListLayout::LineHeight() const
{
    // Every paragraph of a list has the document's font and one line.
    return QFontMetricsF(document()->defaultFont()).height();
}

qreal TListLayout::Width() const
{
    const qreal width = document()->textWidth();
    return width > 0 ? width : 1e6;
}

QSizeF TListLayout::documentSize() const
{
    const qreal margin = document()->documentMargin();
    return QSizeF(Width(), document()->blockCount() * LineHeight() + 2 * margin);
}

QRectF TListLayout::frameBoundingRect(QTextFrame *) const
{
    return QRectF(QPointF(0, 0), documentSize());
}

QRectF TListLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid())
        return QRectF();
    const qreal margin = document()->documentMargin();
    LayOut(block);
    return QRectF(margin, margin + block.blockNumber() * LineHeight(), Width() - 2 * margin, LineHeight());
}

void TListLayout::LayOut(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    if (layout->lineCount() > 0)
        return;
    laidOut_.insert(block.blockNumber());
    const QTextBlockFormat format = block.blockFormat();
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(format.alignment());
    option.setWrapMode(QTextOption::NoWrap);
    layout->setTextOption(option);
    const qreal indent = format.textIndent();
    const qreal width = Width() - 2 * document()->documentMargin();
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(std::max<qreal>(0, width - indent));
        line.setPosition(QPointF(indent, 0));
    }
    // Whatever would not fit on one line stays on it.
    while (layout->createLine().isValid()) {
    }
    layout->endLayout();
}

int TListLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy) const
{
    const int count = document()->blockCount();
    const qreal margin = document()->documentMargin();
    const int number = std::clamp(int(std::floor((point.y() - margin) / LineHeight())), 0, count - 1);
    const QTextBlock block = document()->findBlockByNumber(number);
    LayOut(block);
    const QTextLine line = block.layout()->lineAt(0);
    const int offset = line.isValid() ? line.xToCursor(point.x() - margin) : 0;
    return block.position() + offset;
}

void TListLayout::draw(QPainter *painter, const PaintContext &context)
{
    const int count = document()->blockCount();
    const qreal margin = document()->documentMargin();
    const qreal height = LineHeight();
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    const int first = std::clamp(int(std::floor((clip.top() - margin) / height)), 0, count - 1);
    const int last = std::clamp(int(std::ceil((clip.bottom() - margin) / height)), 0, count - 1);
    painter->save();
    painter->setPen(context.palette.color(QPalette::Text));
    for (QTextBlock block = document()->findBlockByNumber(first); block.isValid() && block.blockNumber() <= last;
         block = block.next()) {
        LayOut(block);
        // Selected text, as the view's selection covers this paragraph.
        QList<QTextLayout::FormatRange> selected;
        const int start = block.position();
        const int end = start + block.length();
        for (const Selection &selection : context.selections) {
            const int from = std::max(selection.cursor.selectionStart(), start);
            const int to = std::min(selection.cursor.selectionEnd(), end);
            if (from < to)
                selected.append({from - start, to - from, selection.format});
        }
        block.layout()->draw(painter, QPointF(margin, margin + block.blockNumber() * height), selected);
    }
    painter->restore();
}

void TListLayout::documentChanged(int, int, int)
{
    // The paragraphs laid out so far (those painted) are laid out again when
    // next painted; asking every block for its layout would build one each.
    for (const int number : std::as_const(laidOut_)) {
        const QTextBlock block = document()->findBlockByNumber(number);
        if (block.isValid())
            block.layout()->clearLayout();
    }
    laidOut_.clear();
    emit documentSizeChanged(documentSize());
    emit update();
}
