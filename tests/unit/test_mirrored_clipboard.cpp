// The X-mirrored clipboard passes every member of the clipboard interface on
// to the clipboard it wraps: the wrapped one's answers are the mirror's.

#include "platform/x11/x_mirrored_clipboard.h"

#include <QSet>
#include <QTest>
#include <functional>

namespace {
// Every member is the interface's own (all are pure), so a member added to
// the interface must be added here, and to the table below, before this
// builds; each answer differs from what a member that keeps to itself gives.
class Wrapped final : public Clipboard
{
public:
    bool hasText() const override { return called("hasText"), true; }
    QString text() const override { return called("text"), QStringLiteral("wrapped text"); }
    QString selectionText() const override { return called("selectionText"), QStringLiteral("wrapped selection"); }
    bool answered() const override { return called("answered"), false; }
    bool setText(const QString &) override { return called("setText"), true; }

    mutable QSet<QString> calls;

private:
    void called(const char *member) const { calls.insert(QLatin1String(member)); }
};

using Member = std::function<QVariant(Clipboard &)>;
} // namespace

class TestMirroredClipboard : public QObject
{
    Q_OBJECT
private slots:
    void everyMemberPassedOn_data();
    void everyMemberPassedOn();
};

void TestMirroredClipboard::everyMemberPassedOn_data()
{
    QTest::addColumn<Member>("member");
    QTest::addColumn<QVariant>("answer");
    QTest::newRow("hasText") << Member([](Clipboard &c) { return QVariant(c.hasText()); }) << QVariant(true);
    QTest::newRow("text") << Member([](Clipboard &c) { return QVariant(c.text()); }) << QVariant("wrapped text");
    QTest::newRow("selectionText") << Member([](Clipboard &c) { return QVariant(c.selectionText()); })
                                   << QVariant("wrapped selection");
    QTest::newRow("answered") << Member([](Clipboard &c) { return QVariant(c.answered()); }) << QVariant(false);
    QTest::newRow("setText") << Member([](Clipboard &c) { return QVariant(c.setText(QStringLiteral("u"))); })
                             << QVariant(true);
}

void TestMirroredClipboard::everyMemberPassedOn()
{
    QFETCH(Member, member);
    // An X display nobody serves: the owner goes on without X, as it does
    // where the compositor runs none.
    qputenv("DISPLAY", ":9999");
    auto wrapped = std::make_unique<Wrapped>();
    const Wrapped &inner = *wrapped;
    auto owner = XClipboardOwner::start();
    QVERIFY(owner);
    XMirroredClipboard mirror(std::move(wrapped), std::move(owner));
    QTEST(member(mirror), "answer");
    QCOMPARE(inner.calls, QSet<QString>{QTest::currentDataTag()});
}

QTEST_GUILESS_MAIN(TestMirroredClipboard)
#include "test_mirrored_clipboard.moc"
