// The read-only rich-text report view: lines appended one paragraph at a
// time, bold or italic per line, centred or left-aligned paragraphs.
#pragma once

#include "presentation/RunView.h"

#include <QTextEdit>


class TReportView : public QTextEdit
{
    Q_OBJECT

public:
    explicit TReportView(QWidget *parent = nullptr);

    // Empties the view and makes black the colour of the text added next.
    void Clear();
    void SetAlignment(ParagraphAlignment alignment);
    void AddLine(const QString &text, LineStyle style = LineStyle::Normal);
    // A list as plain text, each line a paragraph with the given alignment
    // and first-line indent (in points), in two halves. Building the
    // document is the long part (some 100 ms for a list of 78 000 lines) and
    // may run on any thread: the document has no parent and belongs to the
    // calling thread, which moves it to the view's thread before handing it
    // over. Showing it takes its ownership, and gives back the list it
    // replaces (nothing when the view showed its own report): freeing a
    // list of that size takes milliseconds too, so the caller frees it
    // where it can wait.
    static QTextDocument *BuildPlainDocument(QString text, ParagraphAlignment alignment,
                                             qreal firstLineIndentPt, const QFont &font);
    [[nodiscard]] QTextDocument *ShowDocument(QTextDocument *document, ParagraphAlignment alignment);

    // Replaces the whole report with plain text, as a paste does.
    void ReplaceText(const QString &text);

    // The paragraphs as plain lines, for copying and for tests.
    QStringList Lines() const;

private:
    QTextBlockFormat BlockFormat() const;

    Qt::Alignment alignment_ = Qt::AlignRight;
    int linesAdded_ = 0;
};
