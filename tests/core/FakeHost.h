// A window stand-in for the computations: it records report lines, panel
// texts, progress and pumps, and can ask for a stop at a chosen pump.
#pragma once

#include "core/CommandError.h"
#include "core/Generation.h"
#include "RunByPumps.h"

#include <QMap>

#include <QList>
#include <QStringList>
#include <QtGlobal>
#include <functional>

class FakeHost : public ListHost, public ListRunHost
{
public:
    struct Line {
        QString text;
        LineStyle style;
        ParagraphAlignment alignment;
    };

    void SetReportAlignment(ParagraphAlignment a) override { alignment = a; }
    void AddReportLine(const QString &text, LineStyle style) override
    {
        lines.append({text, style, alignment});
        log << QStringLiteral("line:") + text;
    }
    // The texts are kept at the window's panel numbers: 1 time, 2
    // percentage, 3 state.
    void SetPanelText(int panel, const QString &text)
    {
        panels[panel] = text;
        log << QStringLiteral("panel%1:%2").arg(panel).arg(text);
    }
    void SetElapsedText(const QString &text) override { SetPanelText(1, text); }
    void SetPercentText(const QString &text) override { SetPanelText(2, text); }
    void SetStateText(const QString &text) override { SetPanelText(3, text); }
    void SetBarPosition(int p) override
    {
        // The presentation keeps the position within the bar's range.
        if (p < 0 || p > 100)
            qFatal("bar position %d", p);
        position = p;
        ++progressUpdates;
        if (logProgress)
            log << QStringLiteral("progress:%1").arg(position);
    }
    void ProcessMessages()
    {
        ++pumps;
        pumpLog << QStringLiteral("%1|%2|%3").arg(panels[1], panels[2]).arg(position);
        if (onPump)
            onPump(*this);
    }
    bool ArretDemande() const { return stop; }
    void RazFin() override
    {
        ++razFinCalls;
        stop = false;
        panels[3].clear();
        position = 0;
        log << QStringLiteral("RazFin");
    }

    // List files kept in memory, one list of lines per path.
    bool LinesGrouped() const override { return separators; }
    std::optional<QString> ChooseFirstFile(const QString &proposedName) override
    {
        proposed = proposedName;
        return chosenFile;
    }
    bool VerifierSiEcrasementFichier(const QString &) override { return refuseOverwrite; }
    QByteArray SeparatorBytes() const override { return separatorBytes; }
    QString ContinuationFilePath(const QString &, const QString &baseName, qint64 k) const override
    {
        return baseName + QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
    }
    void CreateFile(const QString &path, const QByteArray &bytes) override
    {
        if (path == failingFile)
            throw CommandError::FileFailed(QStringLiteral("échec ") + path);
        files[path] = Lines(bytes);
        log << QStringLiteral("create:") + path;
    }
    void WriteListFile(const QString &path, const QByteArray &numberLines, qint64 count) override
    {
        if (path == failingFile)
            throw CommandError::FileFailed(QStringLiteral("échec ") + path);
        const QStringList numbers = Lines(numberLines);
        if (numbers.size() != count)
            qFatal("count %lld for %lld lines", qint64(count), qint64(numbers.size()));
        files[path] = QStringList{path, QStringLiteral("Nombres premiers de cette liste : %1").arg(count),
                                  QStringLiteral(" ")}
                      + numbers;
        log << QStringLiteral("write:") + path;
    }
    void FichierTermine(const QString &path) override { log << QStringLiteral("completed:") + path; }
    // Lines ended by CR LF, read as Latin-1 (a separator byte 0xA0 reads U+00A0).
    static QStringList Lines(const QByteArray &bytes)
    {
        QStringList lines;
        for (const QByteArray &line : bytes.split('\n'))
            if (!line.isEmpty())
                lines << QString::fromLatin1(line.endsWith('\r') ? line.chopped(1) : line);
        return lines;
    }
    void ShowListFile(const QString &path) override { log << QStringLiteral("show:") + path; }
    void Inform(const QString &text) override { messages << text; }

    QStringList Texts() const
    {
        QStringList texts;
        for (const Line &l : lines)
            texts << l.text;
        return texts;
    }

    QList<Line> lines;
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    QString panels[5];
    int position = 0;
    int pumps = 0;
    int progressUpdates = 0;
    int razFinCalls = 0;
    bool stop = false;
    bool logProgress = true;
    QStringList log;
    QStringList pumpLog;
    std::function<void(FakeHost &)> onPump;

    bool separators = false;
    QByteArray separatorBytes = " ";
    bool refuseOverwrite = false;
    std::optional<QString> chosenFile = QStringLiteral("first");
    QString failingFile;
    QString proposed;
    QMap<QString, QStringList> files;
    QStringList messages;
};
