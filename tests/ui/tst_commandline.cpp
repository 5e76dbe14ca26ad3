// The command-line options and where the help file is found: the parser
// against Qt's own options, the locator on build and installed layouts, and
// the real executable run with --version and from a moved installed tree.
#include "Version.h"
#include "ui/startup/CommandLine.h"
#include "ui/help/HelpLocator.h"
#include "ui/startup/InstanceGuard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(CommandLineAction)

namespace {

bool MakeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

// Runs the real executable and returns its standard output, or a null array
// when it did not end with status 0 in time.
QByteArray Run(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void locate_data();
    void locate();
    void versionWithoutDisplayBesideARunningInstance();
    void movedInstalledTreeFindsItsHelp();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLineAction>("action");
    QTest::newRow("nothing") << QStringList{} << CommandLineAction::Start;
    QTest::newRow("--version") << QStringList{"--version"} << CommandLineAction::ShowVersion;
    QTest::newRow("-v") << QStringList{"-v"} << CommandLineAction::ShowVersion;
    QTest::newRow("--help") << QStringList{"--help"} << CommandLineAction::ShowHelp;
    QTest::newRow("-h") << QStringList{"-h"} << CommandLineAction::ShowHelp;
    QTest::newRow("help before version") << QStringList{"--version", "--help"} << CommandLineAction::ShowHelp;
    QTest::newRow("hidden help check") << QStringList{"--verifier-aide"} << CommandLineAction::CheckHelpFile;
    // Qt's own options must start the window, and a word holding a v or an h
    // must not read as our one-letter options.
    QTest::newRow("-platform offscreen") << QStringList{"-platform", "offscreen"} << CommandLineAction::Start;
    QTest::newRow("-reverse") << QStringList{"-reverse"} << CommandLineAction::Start;
    QTest::newRow("-stylesheet") << QStringList{"-stylesheet", "a.qss"} << CommandLineAction::Start;
    QTest::newRow("unknown option") << QStringList{"--inconnue"} << CommandLineAction::Start;
    QTest::newRow("Qt option then ours") << QStringList{"-style", "fusion", "--version"} << CommandLineAction::ShowVersion;
    QTest::newRow("file name") << QStringList{"liste.txt"} << CommandLineAction::Start;
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLineAction, action);
    arguments.prepend(QStringLiteral("tavorine"));
    QCOMPARE(ParseCommandLine(arguments), action);
}

void TestCommandLine::locate_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("exeFolder");
    QTest::addColumn<QString>("expected");
    // Paths relative to a temporary root; "/" is appended to the folder
    // unless the row leaves it off.
    QTest::newRow("beside") << QStringList{"build/TVR.chm"} << "build/" << "build/TVR.chm";
    QTest::newRow("installed") << QStringList{"usr/share/tavorine/TVR.chm"} << "usr/bin/"
                               << "usr/share/tavorine/TVR.chm";
    QTest::newRow("installed, folder without separator")
        << QStringList{"usr/share/tavorine/TVR.chm"} << "usr/bin" << "usr/share/tavorine/TVR.chm";
    QTest::newRow("beside wins") << QStringList{"usr/bin/TVR.chm", "usr/share/tavorine/TVR.chm"} << "usr/bin/"
                                 << "usr/bin/TVR.chm";
    QTest::newRow("neither: beside, missing") << QStringList{"usr/share/TVR.chm"} << "usr/bin/" << "usr/bin/TVR.chm";
    QTest::newRow("a folder named TVR.chm beside")
        << QStringList{"usr/bin/TVR.chm/x", "usr/share/tavorine/TVR.chm"} << "usr/bin/"
        << "usr/share/tavorine/TVR.chm";
}

void TestCommandLine::locate()
{
    QFETCH(QStringList, files);
    QFETCH(QString, exeFolder);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    for (const QString &file : files)
        QVERIFY(MakeFile(root.filePath(file)));
    QDir().mkpath(root.filePath(exeFolder));
    QCOMPARE(LocateHelpFile(root.path() + QLatin1Char('/') + exeFolder), root.filePath(expected));
}

void TestCommandLine::versionWithoutDisplayBesideARunningInstance()
{
    // Holding the instance name here stands for a running window.
    const TInstanceGuard guard("TVR");
    if (!guard.Held())
        QSKIP("Another Tavorine runs on this machine");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    QCOMPARE(Run(QStringLiteral(TAVORINE_EXECUTABLE), {QStringLiteral("--version")}, env), QByteArray("Tavorine " TAVORINE_VERSION_TEXT "\n"));
    const QByteArray help = Run(QStringLiteral(TAVORINE_EXECUTABLE), {QStringLiteral("-h")}, env);
    QVERIFY2(help.startsWith("Utilisation : tavorine [option]\n"), help.constData());
    QVERIFY(help.contains("--version"));
}

void TestCommandLine::movedInstalledTreeFindsItsHelp()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString exe = root.filePath(QStringLiteral("opt/bin/tavorine"));
    const QString chm = root.filePath(QStringLiteral("opt/share/tavorine/TVR.chm"));
    QVERIFY(QDir().mkpath(QFileInfo(exe).absolutePath()));
    QVERIFY(QDir().mkpath(QFileInfo(chm).absolutePath()));
    QVERIFY(QFile::copy(QStringLiteral(TAVORINE_EXECUTABLE), exe));
    QVERIFY(QFile::copy(QStringLiteral(TAVORINE_HELP_FILE), chm));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QByteArray said = Run(exe, {QStringLiteral("--verifier-aide")}, env);
    QCOMPARE(QString::fromLocal8Bit(said).section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Fichier d'aide : ") + QFileInfo(chm).canonicalFilePath());

    // Without its help file the tree says so and fails.
    QVERIFY(QFile::remove(chm));
    QVERIFY(Run(exe, {QStringLiteral("--verifier-aide")}, env).isNull());
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
