// Every kind of CommandError, worded for the error box: the exact French
// text of each, written out here apart from the code that builds it.
#include "core/CommandError.h"
#include "presentation/Messages.h"

#include <QtTest>

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void errorTexts_data();
    void errorTexts();
};

void TestMessages::errorTexts_data()
{
    QTest::addColumn<CommandError>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("bad number") << CommandError::BadNumber(QStringLiteral("12a")) << u"'12a' n'est pas une valeur entière correcte"_qs;
    QTest::newRow("negative root") << CommandError::InvalidFloatOperation() << u"Opération en virgule flottante incorrecte"_qs;
    QTest::newRow("out of memory") << CommandError::OutOfMemory() << u"La mémoire a manqué pour calculer les nombres premiers."_qs;
    QTest::newRow("continuation clash")
        << CommandError::ContinuationClash(QStringLiteral("/tmp/NP_1-3000000_03.txt"), 3)
        << u"/tmp/NP_1-3000000_03.txt porte le nom du fichier n° 3 de cette même liste, qui le remplacerait. Choisissez un autre nom pour le premier fichier."_qs;
    QTest::newRow("file failed") << CommandError::FileFailed(QStringLiteral("Écriture impossible")) << u"Écriture impossible"_qs;
    QTest::newRow("no room")
        << CommandError::NoRoom(QStringLiteral("/media/clé"), 2'500'000'000, 1'200'000, 999)
        << u"Cette liste occuperait environ 2,50 Go, mais le disque du dossier « /media/clé » n'a que 1,20 Mo de libre, dont 999 octets restent en réserve pour les autres programmes. Choisissez un autre dossier ou une plage plus courte."_qs;
    QTest::newRow("disk full")
        << CommandError::DiskFull(QStringLiteral("/media/clé"), 48'000'000'000)
        << u"La liste a été arrêtée avant de remplir le disque : il ne reste que 48,0 Go de libre dans le dossier « /media/clé ». Les fichiers terminés sont entiers, et le dernier porte son en-tête."_qs;
}

void TestMessages::errorTexts()
{
    QFETCH(CommandError, error);
    QFETCH(QString, text);
    QCOMPARE(ErrorText(error), text);
}

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
