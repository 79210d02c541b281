#include "app/settings_record.h"

#include <QTest>

class TestSettingsRecord : public QObject
{
    Q_OBJECT
private slots:
    void encodesByteForByte();
    void decodes_data();
    void decodes();
    void keepsReservedBytes();
    void storedFeedInterval_data();
    void storedFeedInterval();
};

void TestSettingsRecord::encodesByteForByte()
{
    SettingsRecord record;
    record.setBounds(QRect(-8, 100, 286, 130)); // right 278, bottom 230
    record.setFeedInterval(2000);
    record.setFlags(true, false, true);
    const QByteArray expected = QByteArray::fromHex("f8ffffff"   // left -8
                                                    "64000000"   // top 100
                                                    "16010000"   // right 278
                                                    "e6000000"   // bottom 230
                                                    "d0070000"   // 2000 ms
                                                    "00"         // reserved
                                                    "01" "00" "01"
                                                    "00000000"); // reserved
    QCOMPARE(record.toByteArray(), expected);
    QCOMPARE(record.toByteArray().size(), 28);
}

void TestSettingsRecord::decodes_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<quint32>("interval");
    QTest::addColumn<bool>("hints");
    QTest::addColumn<bool>("text");
    QTest::addColumn<bool>("url");
    QTest::newRow("full") << QByteArray::fromHex("0a000000140000001e01000096000000b80b0000"
                                                 "00010101" "00000000")
                          << QRect(10, 20, 276, 130) << 3000u << true << true << true;
    QTest::newRow("any nonzero flag is on") << QByteArray::fromHex("00000000000000000000000000000000e8030000"
                                                                   "ff02ff00" "00000000")
                                            << QRect(0, 0, 0, 0) << 1000u << true << true << false;
    QTest::newRow("twenty bytes: flags off")
        << QByteArray::fromHex("0a000000140000001e01000096000000b80b0000") << QRect(10, 20, 276, 130) << 3000u
        << false << false << false;
    QTest::newRow("eight bytes: only the corner")
        << QByteArray::fromHex("0500000006000000") << QRect(5, 6, 0, 0) << 0u << false << false << false;
    QTest::newRow("off screen kept") << QByteArray::fromHex("30f8ffff30f8ffff44f9ffff44f9ffff" "d0070000" "00000000"
                                                            "00000000")
                                     << QRect(-2000, -2000, 276, 276) << 2000u << false << false << false;
    // left 0, top 0, right and bottom 2^31 - 1: limited to the desktop.
    QTest::newRow("size beyond the desktop") << QByteArray::fromHex("0000000000000000ffffff7fffffff7f")
                                             << QRect(0, 0, 1920, 1080) << 0u << false << false << false;
    // left and top 2^31 - 100, right and bottom wrapped past 32 bits.
    QTest::newRow("right past 32 bits") << QByteArray::fromHex("9bffff7f9bffff7f6400008064000080")
                                        << QRect(16777215, 16777215, 0, 0) << 0u << false << false << false;
    QTest::newRow("far left kept within range") << QByteArray::fromHex("00000080000000801401008096000080")
                                                << QRect(-16777215, -16777215, 276, 150) << 0u << false << false
                                                << false;
}

void TestSettingsRecord::decodes()
{
    QFETCH(QByteArray, stored);
    SettingsRecord record;
    record.load(stored);
    QTEST(record.restoredBounds(QSize(1920, 1080)), "bounds");
    QTEST(record.feedInterval(), "interval");
    QTEST(record.showHints(), "hints");
    QTEST(record.showText(), "text");
    QTEST(record.showUrl(), "url");
}

void TestSettingsRecord::keepsReservedBytes()
{
    QByteArray stored(28, '\0');
    stored[20] = char(0xAB);
    for (int i = 24; i < 28; ++i)
        stored[i] = char(0xC0 + i);
    SettingsRecord record;
    record.load(stored);
    record.setBounds(QRect(1, 2, 3, 4));
    record.setFeedInterval(500);
    record.setFlags(false, false, false);
    const QByteArray written = record.toByteArray();
    QCOMPARE(quint8(written[20]), quint8(0xAB));
    QCOMPARE(written.mid(24), stored.mid(24));
}

void TestSettingsRecord::storedFeedInterval_data()
{
    QTest::addColumn<quint32>("stored");
    QTest::addColumn<int>("interval");
    QTest::newRow("zero spins: default") << 0u << 2000;
    QTest::newRow("kept unchecked below range") << 1u << 1;
    QTest::newRow("kept above dialog range") << 60000u << 60000;
    QTest::newRow("int max") << 2147483647u << 2147483647;
    QTest::newRow("beyond int clamped") << 4294967295u << 2147483647;
}

void TestSettingsRecord::storedFeedInterval()
{
    QFETCH(quint32, stored);
    QTEST(feedIntervalFromStored(stored), "interval");
}

QTEST_APPLESS_MAIN(TestSettingsRecord)
#include "test_settings_record.moc"
