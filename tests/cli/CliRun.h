// Runs the built tavorine-cli as a real process, and makes the list files
// an independent sieve expects, for the terminal tests.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QProcess>
#include <QStringList>

struct CliResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline CliResult RunCli(const QStringList &arguments, const QString &workingDirectory = {})
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TAVORINE_CLI), arguments);
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// The primes of [from, to] by a segmented sieve of Eratosthenes, with
// nothing in common with the program's sieve or its trial division.
inline QList<qint64> SievePrimes(qint64 from, qint64 to)
{
    from = qMax<qint64>(from, 2);
    QList<qint64> primes;
    if (to < from)
        return primes;
    qint64 root = 1;
    while ((root + 1) * (root + 1) <= to)
        ++root;
    QList<bool> small(root + 1, true);
    QList<qint64> base;
    for (qint64 i = 2; i <= root; ++i) {
        if (!small[i])
            continue;
        base << i;
        for (qint64 j = i * i; j <= root; j += i)
            small[j] = false;
    }
    QList<bool> segment(to - from + 1, true);
    for (qint64 p : base) {
        for (qint64 j = qMax(p * p, (from + p - 1) / p * p); j <= to; j += p)
            segment[j - from] = false;
    }
    for (qint64 n = from; n <= to; ++n) {
        if (segment[n - from])
            primes << n;
    }
    return primes;
}

// A number in groups of three with the given separator bytes.
inline QByteArray GroupedBytes(qint64 n, const QByteArray &separator)
{
    QByteArray digits = QByteArray::number(n);
    if (separator.isEmpty())
        return digits;
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, separator);
    return digits;
}

// A complete list file as its header and its lines say it is. A
// continuation file has its first prime in plain digits.
inline QByteArray ListFileBytes(const QString &name, const QList<qint64> &primes, const QByteArray &separator = {},
                                bool continuation = false)
{
    QByteArray bytes = name.toLatin1() + "\r\nNombres premiers de cette liste : "
                       + GroupedBytes(primes.size(), separator) + "\r\n \r\n";
    for (qsizetype i = 0; i < primes.size(); ++i)
        bytes += GroupedBytes(primes[i], continuation && i == 0 ? QByteArray() : separator) + "\r\n";
    return bytes;
}

inline QByteArray ReadFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
