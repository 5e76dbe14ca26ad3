// The list files as the list generation sees them: the file operations of
// ListHost done by the list file library, for every host that runs a list.
#pragma once

#include "core/Generation.h"

#include <QByteArray>
#include <QString>

class ListFileHost : public ListHost
{
public:
    QByteArray OctetsSeparateur() const override;
    QString CheminFichierSuivant(const QString &firstFile, const QString &baseName, qint64 k) const override;
    void CreerFichier(const QString &path, const QByteArray &bytes) override;
    void EcrireFichierListe(const QString &path, const QByteArray &numberLines, qint64 count) override;

    // The file that most recently received its header; kept between runs.
    QString DernierFichierTermine() const { return dernierFichierTermine_; }

    // The bytes of the list file written last, as on disk, shared with the
    // buffers of the run (no copy is made).
    struct WrittenFile {
        QString path;
        QByteArray header;
        QByteArray numberLines;
    };

    const WrittenFile &LastWritten() const { return lastWritten_; }

private:
    QString dernierFichierTermine_;
    WrittenFile lastWritten_;
};
