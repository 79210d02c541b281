#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void notARegularFile_data();
    void notARegularFile();
    void regularOrMissingFileIsUsed_data();
    void regularOrMissingFileIsUsed();
};

void TestSettingsStore::notARegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("directory") << "directory";
    QTest::newRow("link to a FIFO") << "link";
}

// Opening a FIFO to read it would wait for a writer for ever; the store
// neither reads nor writes it, and says why, naming it.
void TestSettingsStore::notARegularFile()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QString path = dir.filePath(QStringLiteral("SERIMO.conf"));
    if (kind == u"fifo")
        path = fifo;
    else if (kind == u"directory")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("SERIMO.conf")));
    else
        QVERIFY(QFile::link(fifo, path));
    // Held open, so that a writer would not wait but leave its bytes here.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);

    {
        QtSettingsStore store(path);
        QVERIFY(!store.isAvailable());
        QCOMPARE(store.leftAlone(), path);
        QVERIFY(!store.read(QStringLiteral("LastURL")));
        QVERIFY(!store.write(QStringLiteral("LastURL"), QStringLiteral("http://www.example.com/a1.jpg")));
    }
    // Nothing was written into it.
    char byte;
    QCOMPARE(::read(reader, &byte, 1), ssize_t(0));
    ::close(reader);
    const QFileInfo after(path);
    QCOMPARE(after.isDir(), kind == u"directory");
    QVERIFY(!after.isFile());
}

void TestSettingsStore::regularOrMissingFileIsUsed_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("folders"); // those missing, created for the user alone
    QTest::newRow("missing") << false << "Brellix";
    QTest::newRow("missing with its parent") << false << "config/Brellix";
    QTest::newRow("regular, readable by all") << true << "";
}

void TestSettingsStore::regularOrMissingFileIsUsed()
{
    QFETCH(bool, exists);
    QFETCH(QString, folders);
    QTemporaryDir dir;
    const QString path = dir.filePath((folders.isEmpty() ? QStringLiteral("Brellix") : folders) + "/SERIMO.conf");
    if (exists) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Brellix")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nLastURL=http://www.example.com/b2.jpg\n");
        QVERIFY(file.setPermissions(file.permissions() | QFile::ReadOther));
    }
    {
        QtSettingsStore store(path);
        QVERIFY(store.isAvailable());
        QVERIFY(store.leftAlone().isEmpty());
        QCOMPARE(store.read(QStringLiteral("LastURL")).has_value(), exists);
        QVERIFY(store.write(QStringLiteral("LastURL"), QStringLiteral("http://www.example.com/c3.jpg")));
    }
    QCOMPARE(QtSettingsStore(path).read(QStringLiteral("LastURL")), QVariant(QStringLiteral("http://www.example.com/c3.jpg")));
    // An address may hold a password: no one else reads the file.
    const auto userOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    QCOMPARE(QFileInfo(path).permissions(), userOnly);
    QString folder;
    for (const QString &part : folders.split(u'/', Qt::SkipEmptyParts)) {
        folder += part + u'/';
        QCOMPARE(QFileInfo(dir.filePath(folder)).permissions(), userOnly | QFile::ExeOwner | QFile::ExeUser);
    }
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"
