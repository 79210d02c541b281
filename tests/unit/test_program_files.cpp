#include "platform/file_choosers.h"
#include "platform/program_files.h"

#include <QSet>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

class TestProgramFiles : public QObject
{
    Q_OBJECT
private slots:
    void pageDirectory_data();
    void pageDirectory();
    void userFolders_data();
    void userFolders();
    void downloadsFolderMade_data();
    void downloadsFolderMade();
};

void TestProgramFiles::pageDirectory_data()
{
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("expected");
    const QString data = QStringLiteral("/home/u/.local/share/Serimo");
    QTest::newRow("build tree") << "/home/u/src/serimo/build"
                                << QStringList{"/home/u/src/serimo/build/serimo", "/home/u/src/serimo/build/qxvemp.hlp"}
                                << "/home/u/src/serimo/build";
    QTest::newRow("installed under ~/.local")
        << "/home/u/.local/bin" << QStringList{"/home/u/.local/bin/serimo", "/home/u/.local/share/serimo/qxvemp.hlp"}
        << data;
    QTest::newRow("installed system-wide")
        << "/usr/bin" << QStringList{"/usr/bin/serimo", "/usr/share/serimo/qxvemp.hlp"} << data;
    QTest::newRow("help file one folder up") << "/opt/serimo/bin" << QStringList{"/opt/serimo/qxvemp.hlp"} << data;
    QTest::newRow("other files beside the program")
        << "/opt/serimo" << QStringList{"/opt/serimo/serimo", "/opt/serimo/serimo.png", "/opt/serimo/qxpict.htm"}
        << data;
    QTest::newRow("program folder given with a closing slash")
        << "/opt/serimo/" << QStringList{"/opt/serimo/qxvemp.hlp"} << "/opt/serimo/";
}

void TestProgramFiles::pageDirectory()
{
    QFETCH(QString, programDir);
    QFETCH(QStringList, files);
    const QSet<QString> existing(files.begin(), files.end());
    QTEST(pageDirectoryFor(programDir, QStringLiteral("qxvemp.hlp"), QStringLiteral("/home/u/.local/share/Serimo"),
                           [&](const QString &path) { return existing.contains(path); }),
          "expected");
}

void TestProgramFiles::userFolders_data()
{
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<bool>("homeKept");
    QTest::newRow("absolute, kept") << QByteArray("/tmp/h") << QByteArray("/tmp/c") << true;
    QTest::newRow("relative") << QByteArray("h") << QByteArray("c") << false;
    QTest::newRow("unset") << QByteArray() << QByteArray("./c") << false;
}

void TestProgramFiles::userFolders()
{
    QFETCH(QByteArray, home);
    QFETCH(QByteArray, config);
    QFETCH(bool, homeKept);
    home.isNull() ? qunsetenv("HOME") : qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", config);
    settleUserFolders();
    QCOMPARE(qgetenv("HOME"), homeKept ? home : QByteArray(getpwuid(getuid())->pw_dir));
    QCOMPARE(qgetenv("XDG_CONFIG_HOME"), homeKept ? config : QByteArray());
}

void TestProgramFiles::downloadsFolderMade_data()
{
    QTest::addColumn<QByteArray>("userDirs"); // the user-dirs file, none when empty
    QTest::addColumn<QString>("folder");      // under the home
    QTest::addColumn<QString>("error");       // what making a folder inside says
    QTest::newRow("no user-dirs") << QByteArray() << "Downloads" << "";
    QTest::newRow("user-dirs names one two deep")
        << QByteArray("XDG_DOWNLOAD_DIR=\"$HOME/Fetched/new\"\n") << "Fetched/new" << "";
    QTest::newRow("a file in the way") << QByteArray("XDG_DOWNLOAD_DIR=\"$HOME/f\"\n") << "f" << "Not a directory";
}

// The Downloads folder a chooser opens in is made where the user-dirs say,
// and a folder that cannot be made says why.
void TestProgramFiles::downloadsFolderMade()
{
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, folder);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    QDir(home.path()).mkpath(".config");
    QFile file(home.filePath(".config/user-dirs.dirs"));
    if (!userDirs.isEmpty())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(userDirs) == userDirs.size());
    file.close();
    QFile blocker(home.filePath("f"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    QFETCH(QString, error);
    const QString made = DesktopFileLocations(QStringLiteral("x")).downloadsDirectory();
    QCOMPARE(made, home.filePath(folder));
    QCOMPARE(QFileInfo(made).isDir(), error.isEmpty());
    if (!error.isEmpty())
        QCOMPARE(createFolder(made + "/sub"), error);
}

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "test_program_files.moc"
