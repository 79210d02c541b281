#pragma once

// The real main window with fake desktop adapters, shown on the offscreen
// platform and activated once, as a user's first look at it would.

#include "fakes.h"

#include "app/status_line.h"
#include "app/vemp_107.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

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
    std::unique_ptr<TVempForm> form;

    TVempForm &create()
    {
        form = std::make_unique<TVempForm>(Platform{boxes, clipboard, settings, help, cursor, shell, foreground, files});
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

    QString panel(int i) const { return form->StatusBar->panelText(i); }
    QString url() const { return form->Edit1->text(); }
    QString digits() const { return form->EditDigits->text(); }
    QString items() const { return form->EditNumItems->text(); }
    bool digitsMode() const { return form->UpDownDigits->isEnabled(); }

    // Replaces the URL as a user's edit would (through the widget's signal).
    void typeUrl(const QString &text)
    {
        form->Edit1->selectAll();
        form->Edit1->insert(text);
    }
};

// Answers the next modal dialog from the event loop, as a person would, once
// it is open and active. A dialog the answer left open is closed after five
// seconds, so a failing test cannot hang.
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(QDialog &)> act) : m_act(std::move(act))
    {
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || QApplication::activeWindow() != dialog)
                return;
            m_poll.stop();
            acted = true;
            m_act(*dialog);
        });
        m_poll.start();
        m_watchdog.setSingleShot(true);
        QObject::connect(&m_watchdog, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->done(QDialog::Rejected);
        });
        m_watchdog.start(5000);
    }
    bool acted = false;

private:
    std::function<void(QDialog &)> m_act;
    QTimer m_poll;
    QTimer m_watchdog;
};
