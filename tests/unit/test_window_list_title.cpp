#include "platform/wayland/window_list_title.h"

#include <QTest>

namespace {
struct Window
{
};

// One event of a compositor's window list, on window 0, 1 or 2.
struct Event
{
    enum Kind { Add, Title, Activate, Deactivate, Close } kind;
    int window;
    QString title = {};
};
} // namespace

Q_DECLARE_METATYPE(QList<Event>)

class TestWindowListTitle : public QObject
{
    Q_OBJECT
private slots:
    void title_data();
    void title();
};

void TestWindowListTitle::title_data()
{
    QTest::addColumn<QList<Event>>("events");
    QTest::addColumn<QString>("expected");
    const QString save = QStringLiteral("Save As");
    const QString downloads = QStringLiteral("Downloads");
    const QList<Event> twoKnown = {{Event::Add, 0}, {Event::Title, 0, downloads}, {Event::Add, 1},
                                   {Event::Title, 1, save}};

    QTest::newRow("nothing announced") << QList<Event>{} << QString();
    QTest::newRow("known windows, none active") << twoKnown << QString();
    QTest::newRow("the active window's title") << twoKnown + QList<Event>{{Event::Activate, 1}} << save;
    QTest::newRow("a window active before its title came")
        << QList<Event>{{Event::Add, 0}, {Event::Activate, 0}, {Event::Title, 0, save}} << save;
    QTest::newRow("an unknown window becomes active: not the last title")
        << twoKnown + QList<Event>{{Event::Activate, 1}, {Event::Activate, 2}} << QString();
    QTest::newRow("an unknown window's title once it is active")
        << QList<Event>{{Event::Activate, 2}, {Event::Title, 2, save}} << save;
    QTest::newRow("the active window closes")
        << twoKnown + QList<Event>{{Event::Activate, 1}, {Event::Close, 1}} << QString();
    QTest::newRow("the active window closes, then the other is activated")
        << twoKnown + QList<Event>{{Event::Activate, 1}, {Event::Close, 1}, {Event::Activate, 0}} << downloads;
    QTest::newRow("a window in the background closes")
        << twoKnown + QList<Event>{{Event::Activate, 1}, {Event::Close, 0}} << save;
    QTest::newRow("the active window goes inactive, no other comes")
        << twoKnown + QList<Event>{{Event::Activate, 1}, {Event::Deactivate, 1}} << QString();
    QTest::newRow("one batch: deactivation, then activation")
        << twoKnown + QList<Event>{{Event::Activate, 1}, {Event::Deactivate, 1}, {Event::Activate, 0}}
        << downloads;
    QTest::newRow("one batch: activation, then the old window's deactivation")
        << twoKnown + QList<Event>{{Event::Activate, 1}, {Event::Activate, 0}, {Event::Deactivate, 1}}
        << downloads;
    QTest::newRow("the active window's title changes")
        << twoKnown + QList<Event>{{Event::Activate, 0}, {Event::Title, 0, QStringLiteral("Save file")}}
        << QStringLiteral("Save file");
    QTest::newRow("a background window's title changes")
        << twoKnown + QList<Event>{{Event::Activate, 0}, {Event::Title, 1, QStringLiteral("Other")}} << downloads;
    QTest::newRow("a closed window's handle comes back as a new window")
        << twoKnown + QList<Event>{{Event::Close, 1}, {Event::Add, 1}, {Event::Activate, 1}} << QString();
}

void TestWindowListTitle::title()
{
    QFETCH(QList<Event>, events);
    Window windows[3];
    WindowListTitle<Window> list;
    for (const Event &event : events) {
        Window *window = &windows[event.window];
        switch (event.kind) {
        case Event::Add:
            list.add(window);
            break;
        case Event::Title:
            list.setTitle(window, event.title);
            break;
        case Event::Activate:
            list.setActive(window, true);
            break;
        case Event::Deactivate:
            list.setActive(window, false);
            break;
        case Event::Close:
            list.remove(window);
            break;
        }
    }
    QTEST(list.title(), "expected");
}

QTEST_APPLESS_MAIN(TestWindowListTitle)
#include "test_window_list_title.moc"
