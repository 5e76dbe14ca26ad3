// A window stand-in for the computations: it records report lines, panel
// texts, progress and pumps, and can ask for a stop at a chosen pump.
#pragma once

#include "core/CommandError.h"
#include "core/Generation.h"

#include <QMap>

#include <QList>
#include <QStringList>
#include <QtGlobal>
#include <functional>

class FakeHost : public ListHost
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
    void SetPanelText(int panel, const QString &text) override
    {
        panels[panel] = text;
        log << QStringLiteral("panel%1:%2").arg(panel).arg(text);
    }
    void UpdateProgressBar(qint64 p) override
    {
        position = int(p < 0 ? 0 : p > 100 ? 100 : p);
        ++progressUpdates;
        if (logProgress)
            log << QStringLiteral("progress:%1").arg(position);
    }
    int ProgressPosition() const override { return position; }
    void ProcessMessages() override
    {
        ++pumps;
        pumpLog << QStringLiteral("%1|%2|%3").arg(panels[1], panels[2]).arg(position);
        if (onPump)
            onPump(*this);
    }
    bool ArretDemande() const override { return stop; }
    void RazFin() override
    {
        ++razFinCalls;
        stop = false;
        panels[3].clear();
        position = 0;
        log << QStringLiteral("RazFin");
    }

    // List files kept in memory, one list of lines per path.
    bool SepMilliers() const override { return separators; }
    std::optional<QString> ChoisirPremierFichier(const QString &proposedName) override
    {
        proposed = proposedName;
        return chosenFile;
    }
    bool VerifierSiEcrasementFichier(const QString &) override { return refuseOverwrite; }
    void EcrireFichier(const QString &path, const QStringList &fileLines) override
    {
        if (path == failingFile)
            throw CommandError(QStringLiteral("échec ") + path);
        files[path] = fileLines;
        log << QStringLiteral("write:") + path;
    }
    void IndiquerNombresContenus(const QString &path) override
    {
        QStringList &content = files[path];
        const QString count = QString::number(content.size());
        content = QStringList{path, QStringLiteral("Nombres premiers de cette liste : ") + count, QStringLiteral(" ")}
                  + content;
        log << QStringLiteral("header:") + path;
    }
    QString CreationAutomatiqueFichierSuivant(const QString &, const QString &baseName, int k, qint64 p) override
    {
        const QString path = baseName + QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        EcrireFichier(path, {QString::number(p)});
        return path;
    }
    void AfficherFichier(const QString &path) override { log << QStringLiteral("show:") + path; }
    void Informer(const QString &text) override { messages << text; }

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
    bool refuseOverwrite = false;
    std::optional<QString> chosenFile = QStringLiteral("first");
    QString failingFile;
    QString proposed;
    QMap<QString, QStringList> files;
    QStringList messages;
};
