// The layout of a list shown in the report view: one line per paragraph,
// all of one height, laid out only when painted or hit, so that a list of
// any length shows at once and the window never stops for it.
#pragma once

#include <QAbstractTextDocumentLayout>
#include <QSet>

class TListLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT

public:
    explicit TListLayout(QTextDocument *document);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    qreal LineHeight() const;
    qreal Width() const;
    // Lays the block out as one line, aligned and indented as its format says.
    void LayOut(const QTextBlock &block) const;

    // Numbers of the paragraphs that hold a layout.
    mutable QSet<int> laidOut_;
};
