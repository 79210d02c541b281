#include "platform/announced_window.h"

#include <QTest>

class TestAnnouncedWindow : public QObject
{
    Q_OBJECT
private slots:
    void title_data();
    void title();
};

namespace {
// What the bus reports and what Serimo's look-ups answer, in order.
struct Step
{
    enum Kind { Activate, Answer, AnswerEarlier, Fail, Leave } kind;
    QString window = {};
    QString title = {};
};
} // namespace

Q_DECLARE_METATYPE(QList<Step>)

void TestAnnouncedWindow::title_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("lookingUp");
    const QString save = QStringLiteral("Save As");
    const QString downloads = QStringLiteral("Downloads");
    const QList<Step> saveInFront = {{Step::Activate, "A"}, {Step::Answer, {}, save}};

    QTest::newRow("nothing announced") << QList<Step>{} << QString() << false;
    QTest::newRow("the announced window's title") << saveInFront << save << false;
    QTest::newRow("another window announced, its title not yet in")
        << saveInFront + QList<Step>{{Step::Activate, "B"}} << QString() << true;
    QTest::newRow("another window announced, its look-up failed")
        << saveInFront + QList<Step>{{Step::Activate, "B"}, {Step::Fail}} << QString() << false;
    QTest::newRow("the earlier window's late answer does not count")
        << QList<Step>{{Step::Activate, "A"}, {Step::Activate, "B"}, {Step::AnswerEarlier, {}, save}} << QString()
        << true;
    QTest::newRow("the new window's answer") << saveInFront + QList<Step>{{Step::Activate, "B"}, {Step::Answer, {}, downloads}}
                                             << downloads << false;
    QTest::newRow("asked again: the title changed while in front")
        << QList<Step>{{Step::Activate, "A"}, {Step::Answer, {}, downloads}, {Step::Answer, {}, "Save file"}}
        << QStringLiteral("Save file") << false;
    QTest::newRow("asked again: no answer") << saveInFront + QList<Step>{{Step::Fail}} << QString() << false;
    QTest::newRow("a window the bus does not see came to the front")
        << saveInFront + QList<Step>{{Step::Leave}} << QString() << false;
    QTest::newRow("an answer after the window left")
        << QList<Step>{{Step::Activate, "A"}, {Step::Leave}, {Step::Answer, {}, save}} << QString() << false;
}

void TestAnnouncedWindow::title()
{
    QFETCH(QList<Step>, steps);
    AnnouncedWindow announced;
    quint64 current = 0;
    quint64 earlier = 0;
    for (const Step &step : steps) {
        switch (step.kind) {
        case Step::Activate:
            earlier = current;
            current = announced.activated(step.window);
            break;
        case Step::Answer:
            announced.named(current, step.title);
            break;
        case Step::AnswerEarlier:
            announced.named(earlier, step.title);
            break;
        case Step::Fail:
            announced.named(current, std::nullopt);
            break;
        case Step::Leave:
            announced.leave();
            break;
        }
    }
    QTEST(announced.title(), "expected");
    QTEST(announced.isLookingUp(), "lookingUp");
}

QTEST_APPLESS_MAIN(TestAnnouncedWindow)
#include "test_announced_window.moc"
