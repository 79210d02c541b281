// The X-mirrored clipboard passes every member of the clipboard interface on.
#include "platform/x11/x_mirrored_clipboard.h"

#include <QSet>
#include <QTest>
#include <functional>

namespace {
// The interface's members are all pure: one added there must be added here,
// and to the table, before this builds. Each answer differs from a default's.
class Wrapped final : public Clipboard
{
public:
    bool hasText() const override { return calls.insert("hasText"), true; }
    QString text() const override { return calls.insert("text"), "wrapped"; }
    QString selectionText() const override { return calls.insert("selectionText"), "selected"; }
    bool answered() const override { return calls.insert("answered"), false; }
    bool setText(const QString &) override { return calls.insert("setText"), true; }
    mutable QSet<QString> calls;
};
using Member = std::function<QVariant(Clipboard &)>;
} // namespace

class TestMirroredClipboard : public QObject
{
    Q_OBJECT
private slots:
    void everyMemberPassedOn_data()
    {
        QTest::addColumn<Member>("member");
        QTest::addColumn<QVariant>("answer");
        QTest::newRow("hasText") << Member([](Clipboard &c) { return c.hasText(); }) << QVariant(true);
        QTest::newRow("text") << Member([](Clipboard &c) { return c.text(); }) << QVariant("wrapped");
        QTest::newRow("selectionText") << Member([](Clipboard &c) { return c.selectionText(); }) << QVariant("selected");
        QTest::newRow("answered") << Member([](Clipboard &c) { return c.answered(); }) << QVariant(false);
        QTest::newRow("setText") << Member([](Clipboard &c) { return c.setText("u"); }) << QVariant(true);
    }
    void everyMemberPassedOn()
    {
        QFETCH(Member, member);
        // An X display nobody serves: the owner goes on without X.
        qputenv("DISPLAY", ":9999");
        auto wrapped = std::make_unique<Wrapped>();
        const Wrapped &inner = *wrapped;
        XMirroredClipboard mirror(std::move(wrapped), XClipboardOwner::start());
        QTEST(member(mirror), "answer");
        QCOMPARE(inner.calls, QSet<QString>{QTest::currentDataTag()});
    }
};

QTEST_GUILESS_MAIN(TestMirroredClipboard)
#include "test_mirrored_clipboard.moc"
