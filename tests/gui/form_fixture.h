#pragma once

// The real main window with fake desktop adapters, shown on the offscreen
// platform and activated once, as a user's first look at it would.

#include "fakes.h"

#include "app/status_line.h"
#include "app/vemp_107.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// A control of the window, or any object under it, by its object name.
template <class T> T *child(const QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

struct FormFixture
{
    FakeMessageBoxes boxes;
    FakeClipboard clipboard;
    FakeSettingsStore settings;
    FakeHelpViewer help;
    FakeBusyCursor cursor;
    FakeShell shell;
    FakeForegroundWindow foreground;
    FakeFileLocations files;
    FakeKeepAbove keepAbove;
    FakeFileChoosers choosers;
    FakeTaskbarProgress taskbar;
    FakeKGet kget;
    std::unique_ptr<TVempForm> form;

    TVempForm &create()
    {
        form = std::make_unique<TVempForm>(
            Platform{boxes, clipboard, settings, help, cursor, shell, foreground, files, keepAbove, choosers, taskbar, kget});
        return *form;
    }

    // Creates, shows and activates the window: the first activation runs the
    // start-up detection.
    TVempForm &start()
    {
        create();
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qFatal("the main window never became active");
        return *form;
    }

    QString panel(int i) const { return child<StatusLine>(*form, "StatusBar")->panelText(i); }
    QString url() const { return child<ChangeEdit>(*form, "Edit1")->text(); }
    QString digits() const { return child<ChangeEdit>(*form, "EditDigits")->text(); }
    QString items() const { return child<ChangeEdit>(*form, "EditNumItems")->text(); }
    bool digitsMode() const { return child<UpDown>(*form, "UpDownDigits")->isEnabled(); }

    // The feed timer falls due now, whatever its interval.
    void tick() const
    {
        auto *timer = child<FeedTimer>(*form, "Timer1")->findChild<QTimer *>();
        if (!QMetaObject::invokeMethod(timer, "timeout"))
            qFatal("the feed timer did not tick");
    }

    // Replaces the URL as a user's edit would (through the widget's signal).
    void typeUrl(const QString &text)
    {
        child<ChangeEdit>(*form, "Edit1")->selectAll();
        child<ChangeEdit>(*form, "Edit1")->insert(text);
    }
};

// Answers the next modal dialog from the event loop, as a person would, once
// it is open and active. The answer must close the dialog: one still open two
// seconds after the answer (an access key clicks its button a moment later),
// or one that never became active to be answered within five, fails the test
// and is then closed with Rejected, so that the test cannot hang.
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(QDialog &)> act) : m_act(std::move(act))
    {
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || QApplication::activeWindow() != dialog) {
                m_seenActive = nullptr;
                return;
            }
            // A dialog's activation handler may process pending events, and
            // this poll with them; a person answers only once it has
            // returned. One pass of the event loop fires the poll once, so
            // the second sighting in a row comes after the handler.
            if (m_seenActive != dialog) {
                m_seenActive = dialog;
                return;
            }
            m_poll.stop();
            acted = true;
            m_answered = dialog;
            m_act(*dialog);
            m_watchdog.start(2000);
        });
        m_poll.start();
        m_watchdog.setSingleShot(true);
        QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
            if (m_answered && m_answered->isVisible())
                abandon(m_answered, "the answer left the dialog open");
            else if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()); dialog && !acted)
                abandon(dialog, "the dialog was never answered");
        });
        m_watchdog.start(5000);
    }
    bool acted = false;

private:
    static void abandon(QDialog *dialog, const char *why)
    {
        QTest::qFail(why, __FILE__, __LINE__);
        dialog->done(QDialog::Rejected);
    }

    std::function<void(QDialog &)> m_act;
    QPointer<QDialog> m_answered;
    QPointer<QDialog> m_seenActive;
    QTimer m_poll;
    QTimer m_watchdog;
};
