// What the tests of the help reader share: the help file's bytes, the
// project file read by a parser of their own, and the means to damage the
// structures of a copy of the file.
#pragma once

#include "help/reader/ChmFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace ChmTestData {

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the project file says, read with a parser of its own: [FILES], and the
// context numbers of [MAP] joined to the pages of [ALIAS].
struct Project {
    QStringList files;
    QMap<quint32, QString> contexts;
};

inline Project readProject()
{
    Project project;
    QMap<QString, QString> aliases;
    QMap<QString, quint32> numbers;
    QString section;
    const QStringList lines = QString::fromUtf8(fileBytes(QStringLiteral(HELP_SOURCE_DIR "/TVR.hhp")))
                                  .split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            section = line;
        } else if (line.isEmpty()) {
            continue;
        } else if (section == QLatin1String("[FILES]")) {
            project.files.append(line);
        } else if (section == QLatin1String("[ALIAS]")) {
            aliases.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
        } else if (section == QLatin1String("[MAP]")) {
            const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            numbers.insert(words.value(1), words.value(2).toUInt());
        }
    }
    for (auto it = numbers.cbegin(); it != numbers.cend(); ++it)
        project.contexts.insert(it.value(), QLatin1Char('/') + aliases.value(it.key()));
    return project;
}

inline QByteArray word32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

inline QByteArray ivb(std::initializer_list<std::pair<quint32, quint32>> pairs, qsizetype declared = -1)
{
    QByteArray body;
    for (const auto &[context, offset] : pairs)
        body += word32(context) + word32(offset);
    return word32(quint32(declared < 0 ? body.size() : declared)) + body;
}

inline quint64 encodedInteger(const QByteArray &data, qsizetype &pos)
{
    quint64 value = 0;
    while (true) {
        const auto byte = quint8(data[pos++]);
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80))
            return value;
    }
}

// Where the parts of the committed file lie, found the way the ITSF layout
// describes them: the header, the first directory chunk, and the objects of
// the uncompressed space by their directory entries.
struct Layout {
    QByteArray bytes;
    qsizetype chunk = 0;
    qsizetype dataOffset = 0;

    qsizetype entryTail(const QByteArray &name) const { return bytes.indexOf(name, chunk) + name.size(); }
    qsizetype objectAt(const QByteArray &name) const
    {
        qsizetype pos = entryTail(name);
        encodedInteger(bytes, pos);
        return dataOffset + qsizetype(encodedInteger(bytes, pos));
    }
    void put32(qsizetype at, quint32 value) { qToLittleEndian(value, bytes.data() + at); }
    void put64(qsizetype at, quint64 value) { qToLittleEndian(value, bytes.data() + at); }
};

inline Layout layoutOf(const QByteArray &bytes)
{
    Layout layout{bytes};
    const auto directory = qsizetype(qFromLittleEndian<quint64>(bytes.constData() + 0x48));
    layout.chunk = directory + qsizetype(qFromLittleEndian<quint32>(bytes.constData() + directory + 8));
    layout.dataOffset = qsizetype(qFromLittleEndian<quint64>(bytes.constData() + 0x58));
    return layout;
}

const QByteArray ControlData = "::DataSpace/Storage/MSCompressed/ControlData";
const QByteArray Content = "::DataSpace/Storage/MSCompressed/Content";
const QByteArray ResetTable = "/InstanceData/ResetTable";

using ContextTable = QMap<quint32, QString>;
using TopicList = QList<ChmTopic>;

} // namespace ChmTestData
