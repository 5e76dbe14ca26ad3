// The list engine writing real files, compared byte for byte with lists
// built here from the plain trial-division rule: random ranges across slice
// bounds and at the ends of the 64-bit range, separators on, off and
// changed during a run, stops at random moments, and a first file named
// like a continuation file of its own list.
#include "RunByPumps.h"
#include "oracles/PlainPrimes.h"
#include "core/Generation.h"
#include "presentation/NumberText.h"
#include "listhost/ListFileHost.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <limits>

namespace {

// A separator of three bytes in Windows-1252, so that its bytes count.
const QString kSeparator = QStringLiteral("\u202F");

class FileHost : public ListFileHost, public ListRunHost
{
public:
    explicit FileHost(const QString &firstFile) : firstFile_(firstFile) {}

    void SetReportAlignment(ParagraphAlignment) override {}
    void AddReportLine(const QString &, LineStyle) override {}
    // The texts at the window's panel numbers: 1 time, 2 percentage, 3 state.
    void SetElapsedText(const QString &text) override { panels[1] = text; }
    void SetPercentText(const QString &text) override { panels[2] = text; }
    void SetStateText(const QString &text) override { panels[3] = text; }
    void SetBarPosition(int p) override { position = p; }
    void ProcessMessages()
    {
        ++pumps;
        if (onPump)
            onPump(*this);
    }
    bool ArretDemande() const { return stop; }
    void RazFin() override { ++razFin; }
    bool LinesGrouped() const override { return separators; }
    std::optional<QString> ChooseFirstFile(const QString &) override { return firstFile_; }
    bool VerifierSiEcrasementFichier(const QString &) override { return false; }
    void FichierTermine(const QString &) override {}
    void ShowListFile(const QString &) override {}
    void Inform(const QString &text) override { messages << text; }

    QString panels[5];
    int position = 0;
    int pumps = 0;
    int razFin = 0;
    bool stop = false;
    bool separators = false;
    QStringList messages;
    std::function<void(FileHost &)> onPump;

private:
    QString firstFile_;
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray Grouped(quint64 p)
{
    QByteArray digits = QByteArray::number(p);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, '\xA0');
    return digits;
}

QByteArray File(const QString &name, const QList<QByteArray> &lines, bool groupedCount)
{
    const qint64 count = lines.size();
    QByteArray bytes = name.toLatin1() + "\r\nNombres premiers de cette liste : "
                       + (groupedCount ? Grouped(quint64(count)) : QByteArray::number(count)) + "\r\n \r\n";
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// The slices of a list as the plain rule gives them: file k holds the
// primes from start + 10^6 (k - 1) on, and a file begins only with a prime.
QList<QList<quint64>> Slices(quint64 start, const QList<quint64> &primes)
{
    QList<QList<quint64>> slices{{}};
    quint64 bound = start + 1000000;
    for (const quint64 p : primes) {
        if (p >= bound) {
            slices.append(QList<quint64>());
            bound += 1000000;
        }
        slices.last().append(p);
    }
    return slices;
}

// A plain sieve of Eratosthenes, for ranges too long for trial division.
QList<quint64> Sieve(quint64 start, quint64 last)
{
    std::vector<bool> composite(last + 1, false);
    QList<quint64> primes;
    for (quint64 n = 2; n <= last; ++n) {
        if (composite[n])
            continue;
        if (n >= start)
            primes.append(n);
        for (quint64 m = n * n; m <= last; m += n)
            composite[m] = true;
    }
    return primes;
}

QString Name(const QString &base, int k)
{
    return base + (k < 10 ? QStringLiteral("0%1.txt") : QStringLiteral("%1.txt")).arg(k);
}

} // namespace

class TestListEngine : public QObject
{
    Q_OBJECT

private slots:
    void filesMatchThePlainRule_data();
    void filesMatchThePlainRule();
    void separatorChangedDuringRun();
    void stopAtRandomMoments();
    void firstFileNamedLikeAContinuation();
};

void TestListEngine::filesMatchThePlainRule_data()
{
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<bool>("separators");
    const qint64 max = std::numeric_limits<qint64>::max();
    QRandomGenerator random(20261208);
    for (int i = 0; i < 4; ++i) {
        const qint64 first = qint64(random.bounded(1500000));
        const qint64 last = first + 9 + qint64(random.bounded(2600000));
        QTest::addRow("across slice bounds %lld-%lld", first, last) << first << last << (i % 2 == 0);
    }
    for (int i = 0; i < 2; ++i) {
        const qint64 first = 1000000000 + qint64(random.bounded(1000000000));
        QTest::addRow("short range at %lld", first) << first << first + 2000 << (i % 2 == 0);
    }
    QTest::newRow("starting below 2") << qint64(-5) << qint64(1000020) << true;
    QTest::newRow("no prime, 114 to 126") << qint64(114) << qint64(126) << false;
    QTest::newRow("no prime in the last slice") << qint64(1) << qint64(2000002) << true;
    QTest::newRow("ending at 2^63 - 1") << max - 30 << max << true;
}

void TestListEngine::filesMatchThePlainRule()
{
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(bool, separators);
    QTemporaryDir dir;
    const QString base = QStringLiteral("NP_%1-%2_").arg(first).arg(last);
    FileHost host(dir.filePath(QStringLiteral("premier.txt")));
    host.separators = separators;
    Generer(host, first, last, QString::number(first), QString::number(last), kSeparator);

    const quint64 start = quint64(std::max<qint64>(first, 2));
    const QList<QList<quint64>> slices = Slices(start, PrimesByTrialDivision(start, quint64(last)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), slices.size());
    for (int k = 1; k <= slices.size(); ++k) {
        QList<QByteArray> lines;
        for (const quint64 p : slices[k - 1])
            lines << (separators && !(k > 1 && lines.isEmpty()) ? Grouped(p) : QByteArray::number(p));
        const QString name = k == 1 ? QStringLiteral("premier.txt") : Name(base, k);
        QCOMPARE(ReadAll(dir.filePath(name)), File(name, lines, separators));
    }
    QCOMPARE(host.messages.value(0),
             QStringLiteral("Votre liste de numéros est prête et a été enregistrée avec succès en %1 fichier(s).")
                 .arg(slices.size()));

    // The last file worked out ahead is the one written, byte for byte; it
    // is missing only for one file, a last slice with no prime, or a range
    // ending too high to sieve its slice alone quickly.
    ListRequest request = ListRequestFor(first, last, QString::number(first), QString::number(last), kSeparator);
    request.firstFile = dir.filePath(QStringLiteral("premier.txt"));
    const std::optional<ListFileHost::WrittenFile> foreseen = host.ForeseenLastFile(request, separators);
    const quint64 slicesOfRange = (quint64(last) - start) / 1000000 + 1;
    if (foreseen) {
        QCOMPARE(foreseen->path, dir.filePath(Name(base, int(slices.size()))));
        QCOMPARE(foreseen->header + foreseen->numberLines, ReadAll(foreseen->path));
    } else {
        QVERIFY(slices.size() == 1 || quint64(slices.size()) < slicesOfRange || last > kForeseenUpTo);
    }
}

void TestListEngine::separatorChangedDuringRun()
{
    // Unchecked at one pump: every prime stored before it keeps its groups,
    // every one after is plain, so each file reads grouped lines and then
    // plain ones, and the header follows the box when the file is written.
    // Twenty files take long enough for several pumps after the first primes.
    QTemporaryDir dir;
    const QString base = QStringLiteral("NP_1-20000000_");
    FileHost host(dir.filePath(Name(base, 1)));
    host.separators = true;
    bool toggled = false;
    host.onPump = [&toggled](FileHost &h) {
        if (h.position > 0 && !toggled) {
            toggled = true;
            h.separators = false;
        }
    };
    Generer(host, 1, 20000000, QStringLiteral("1"), QStringLiteral("20000000"), kSeparator);
    QVERIFY(toggled);
    const QList<QList<quint64>> slices = Slices(2, Sieve(2, 20000000));
    int switches = 0;
    bool grouped = true;
    for (int k = 1; k <= slices.size(); ++k) {
        const QList<QByteArray> lines = ReadAll(dir.filePath(Name(base, k))).split('\n');
        QCOMPARE(lines.size(), 3 + slices[k - 1].size() + 1);
        for (int i = 0; i < slices[k - 1].size(); ++i) {
            const quint64 p = slices[k - 1][i];
            const QByteArray line = lines[3 + i].chopped(1);
            if (k > 1 && i == 0) {
                QCOMPARE(line, QByteArray::number(p));
                continue;
            }
            if (grouped && line != Grouped(p)) {
                grouped = false;
                ++switches;
            }
            QCOMPARE(line, grouped ? Grouped(p) : QByteArray::number(p));
        }
    }
    QCOMPARE(switches, 1);
}

void TestListEngine::stopAtRandomMoments()
{
    // Whatever the moment, every file before the current one is complete
    // and the current one holds its header over what it held on disk.
    QRandomGenerator random(8122026);
    for (int round = 0; round < 4; ++round) {
        QTemporaryDir dir;
        const QString base = QStringLiteral("NP_100-2000000000_");
        FileHost host(dir.filePath(Name(base, 1)));
        const int stopAt = 1 + int(random.bounded(6));
        host.onPump = [stopAt](FileHost &h) { h.stop = h.pumps >= stopAt; };
        Generer(host, 100, 2000000000, QStringLiteral("100"), QStringLiteral("2000000000"), kSeparator);
        QCOMPARE(host.razFin, 1);
        const QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        const int files = int(names.size());
        QCOMPARE(names.last(), Name(base, files));
        const QList<QList<quint64>> slices = Slices(100, Sieve(100, 100 + 1000000 * quint64(files) + 200));
        for (int k = 1; k < files; ++k) {
            QList<QByteArray> lines;
            for (const quint64 p : slices[k - 1])
                lines << QByteArray::number(p);
            QCOMPARE(ReadAll(dir.filePath(Name(base, k))), File(Name(base, k), lines, false));
        }
        const QList<QByteArray> onDisk =
            files == 1 ? QList<QByteArray>{} : QList<QByteArray>{QByteArray::number(slices[files - 1].value(0))};
        QCOMPARE(ReadAll(dir.filePath(Name(base, files))), File(Name(base, files), onDisk, false));
    }
}

void TestListEngine::firstFileNamedLikeAContinuation()
{
    // File 2 of this very list would replace the first file half-way.
    QTemporaryDir dir;
    FileHost host(dir.filePath(QStringLiteral("NP_1-3000000_02.txt")));
    Generer(host, 1, 3000000, QStringLiteral("1"), QStringLiteral("3000000"), kSeparator);
    QCOMPARE(host.messages.size(), 1);
    QVERIFY2(host.messages[0].contains(QStringLiteral("NP_1-3000000_02.txt")), qPrintable(host.messages[0]));
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(host.razFin, 1);

    // A name past the list's last file, or of another list, is fine.
    FileHost other(dir.filePath(QStringLiteral("NP_1-3000000_04.txt")));
    Generer(other, 1, 3000000, QStringLiteral("1"), QStringLiteral("3000000"), kSeparator);
    QVERIFY(other.messages.value(0).endsWith(QStringLiteral("en 3 fichier(s).")));
}

QTEST_GUILESS_MAIN(TestListEngine)
#include "tst_listengine.moc"
