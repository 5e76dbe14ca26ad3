// The help reader against files that are no help file or are damaged: it
// refuses them before chmlib reads them, and what it opens reads safely.
#include "ChmTestData.h"

using namespace ChmTestData;

class TestChmDamaged : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void openRefusesWhatIsNoHelpFile_data();
    void openRefusesWhatIsNoHelpFile();
    void openWithoutPathIsRefused();
    void damagedStructuresAreRefused_data();
    void damagedStructuresAreRefused();
    void damagedFilesAreReadSafely();

private:
    // The committed help file, opened whole, to compare damaged copies with.
    ChmFile chm_;
};

void TestChmDamaged::initTestCase()
{
    QVERIFY2(chm_.open(QStringLiteral(TVR_CHM_PATH)), qPrintable(chm_.errorString()));
}

void TestChmDamaged::openRefusesWhatIsNoHelpFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << "missing.chm" << QByteArray() << "est introuvable";
    QTest::newRow("folder") << "folder.chm" << QByteArray() << "est un dossier";
    QTest::newRow("empty file") << "empty.chm" << QByteArray("") << "n'est pas un fichier d'aide compilé valide";
    QTest::newRow("text file") << "text.chm" << QByteArray("<html>aide</html>") << "n'est pas un fichier d'aide";
    QTest::newRow("signature alone") << "short.chm" << QByteArray("ITSF") << "est endommagé";
    QTest::newRow("signature and noise") << "noise.chm" << QByteArray("ITSF") + QByteArray(4096, '\x5a')
                                         << "est endommagé";
}

void TestChmDamaged::openRefusesWhatIsNoHelpFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (name == QLatin1String("folder.chm")) {
        QVERIFY(QDir().mkdir(path));
    } else if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    ChmFile chm;
    QVERIFY(!chm.open(path));
    QVERIFY(!chm.isOpen());
    QVERIFY2(chm.errorString().contains(reason), qPrintable(chm.errorString()));
    QVERIFY(chm.errorString().contains(path));
    QVERIFY(chm.read(QStringLiteral("/index.html")).isNull());
    QVERIFY(chm.topicForContext(1000).isEmpty());
}

void TestChmDamaged::openWithoutPathIsRefused()
{
    ChmFile chm;
    QVERIFY(!chm.open(QString()));
    QCOMPARE(chm.errorString(), QStringLiteral("Aucun fichier d'aide n'est indiqué."));
}

// Each row damages one structure that chmlib would trust (and crash, loop or
// read out of bounds on); the file must be refused as damaged.
void TestChmDamaged::damagedStructuresAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("opens");
    const Layout good = layoutOf(fileBytes(QStringLiteral(TVR_CHM_PATH)));
    const qsizetype control = good.objectAt(ControlData);
    const qsizetype reset = good.objectAt(ResetTable);
    QTest::newRow("intact copy") << good.bytes << true;

    Layout damaged = good;
    damaged.put32(control + 16, 0);
    QTest::newRow("LZX window of size zero") << damaged.bytes << false;
    damaged = good;
    damaged.put32(control + 16, 3);
    QTest::newRow("LZX window not a power of two") << damaged.bytes << false;
    damaged = good;
    damaged.put32(control + 12, 0);
    QTest::newRow("LZX reset interval zero") << damaged.bytes << false;
    damaged = good;
    damaged.put32(control + 20, 0);
    QTest::newRow("LZX windows per reset zero") << damaged.bytes << false;
    damaged = good;
    damaged.put32(control + 20, 0x80000000u);
    QTest::newRow("LZX frames per reset wrapping to zero") << damaged.bytes << false;
    damaged = good;
    damaged.bytes[damaged.entryTail(ControlData)] = 7;
    QTest::newRow("object in a third storage space") << damaged.bytes << false;
    damaged = good;
    damaged.put64(reset + 32, 0);
    QTest::newRow("reset table frames of length zero") << damaged.bytes << false;
    damaged = good;
    damaged.put64(reset + 32, 0x100008000ull);
    QTest::newRow("frame length beyond 32 bits") << damaged.bytes << false;
    damaged = good;
    const auto frames = qFromLittleEndian<quint32>(good.bytes.constData() + reset + 4);
    const auto table = qFromLittleEndian<quint32>(good.bytes.constData() + reset + 12);
    damaged.put64(reset + table + (frames - 1) * 8, 0xFFFFFFFFull);
    QTest::newRow("frame past the compressed content") << damaged.bytes << false;
    damaged = good;
    damaged.put32(good.chunk + 16, 0);
    QTest::newRow("listing chunk linked to itself") << damaged.bytes << false;
    damaged = good;
    damaged.put32(good.chunk + 4, 0x2000);
    QTest::newRow("free space larger than the chunk") << damaged.bytes << false;
    damaged = good;
    damaged.bytes.replace(good.chunk + 20, 3, "\xff\xff\x7f");
    QTest::newRow("name longer than any path") << damaged.bytes << false;
    damaged = good;
    qsizetype pos = good.entryTail(Content) + 1;
    encodedInteger(good.bytes, pos);
    damaged.bytes.replace(pos, 3, "\xff\xff\x7f");
    QTest::newRow("object past the end of the file") << damaged.bytes << false;
    damaged = good;
    damaged.put64(0x50, quint64(good.bytes.size()));
    QTest::newRow("directory past the end of the file") << damaged.bytes << false;
    QTest::newRow("cut inside the directory") << good.bytes.left(good.chunk + 100) << false;
}

void TestChmDamaged::damagedStructuresAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, opens);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TVR.chm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    ChmFile chm;
    QCOMPARE(chm.open(path), opens);
    if (opens)
        QCOMPARE(chm.read(QStringLiteral("/index.html")), chm_.read(QStringLiteral("/index.html")));
    else
        QCOMPARE(chm.errorString(), QStringLiteral("Le fichier d'aide « %1 » est endommagé.").arg(path));
}

// A damaged copy either fails to open or yields, for each page, its exact bytes
// or nothing: never a crash, never a page cut short.
// A damaged file has no checksum that would tell a wrong page from a right
// one, so this is a check that nothing crashes or reads out of bounds, which
// the sanitizer build makes visible; fuzz/fuzz_chm.cpp goes further. The
// copies damaged behind the directory do open, so reading goes through the
// damaged content.
void TestChmDamaged::damagedFilesAreReadSafely()
{
    const QByteArray good = fileBytes(QStringLiteral(TVR_CHM_PATH));
    QList<QByteArray> variants;
    for (qsizetype cut : {qsizetype(100), qsizetype(600), good.size() / 3, good.size() / 2, good.size() - 1})
        variants.append(good.left(cut));
    for (qsizetype from : {qsizetype(0x60), good.size() / 2}) {
        for (qsizetype step : {qsizetype(7), qsizetype(61), qsizetype(499)}) {
            QByteArray damaged = good;
            for (qsizetype pos = from; pos < damaged.size(); pos += step)
                damaged[pos] = char(damaged[pos] ^ 0x5A);
            variants.append(damaged);
        }
    }
    QTemporaryDir dir;
    int opened = 0;
    for (int i = 0; i < variants.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("damaged%1.chm").arg(i));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(variants[i]);
        file.close();
        ChmFile chm;
        if (!chm.open(path)) {
            QVERIFY(!chm.errorString().isEmpty());
            continue;
        }
        ++opened;
        for (const QString &page : chm_.pages())
            chm.read(page);
        for (quint32 context : chm_.contextTable().keys())
            chm.read(chm.topicForContext(context));
    }
    QVERIFY(opened > 0);
}

QTEST_GUILESS_MAIN(TestChmDamaged)
#include "tst_chmdamaged.moc"
