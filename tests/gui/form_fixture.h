#pragma once

// The real main window with fake desktop adapters, shown on the offscreen
// platform and activated once, as a user's first look at it would.

#include "fakes.h"

#include "app/status_line.h"
#include "app/vemp_107.h"
#include "runs/engine_registry.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
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
    EngineRegistry engines = standardEngines(kget);
    FakeSecretStore secrets;
    // The settings the window keeps: the fake's, unless a test gives a store.
    SettingsStore *store = &settings;
    std::unique_ptr<TVempForm> form;

    TVempForm &create()
    {
        form = std::make_unique<TVempForm>(Platform{boxes, clipboard, *store, help, cursor, shell, foreground, files,
                                                    keepAbove, choosers, taskbar, engines, secrets});
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
    // The whole message behind panel 1: its tooltip and accessible description agree on it.
    QString whole() const
    {
        const QLabel *panel1 = child<StatusLine>(*form, "StatusBar")->panel(1);
        return panel1->toolTip() == panel1->accessibleDescription() ? panel1->toolTip() : QStringLiteral("(differ)");
    }
    // The size of a first start on a desktop, outer frame included.
    void firstStartSize() const { form->setOuterBounds(QRect(form->outerBounds().topLeft(), QSize(338, 133))); }
    // Panel 1 shows its text whole beside panel 0, measured with its font.
    bool panelFits() const
    {
        const auto *line = child<StatusLine>(*form, "StatusBar");
        const QLabel *panel1 = line->panel(1);
        return panel1->width() == panel1->fontMetrics().horizontalAdvance(panel1->text()) + 12
               && panel1->x() == line->panel(0)->width() + 2 && panel1->geometry().right() < line->width();
    }
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

    // Pastes into the box by "keys" (Ctrl+V) or its context "menu"; false when the menu offers no Paste.
    bool paste(const char *box, const QString &by)
    {
        auto *edit = child<ChangeEdit>(*form, box);
        if (by == "keys")
            return QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier), true;
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(1, 1), edit->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(edit, &request);
        const std::unique_ptr<QMenu> menu(child<QMenu>(*edit, "qt_edit_menu"));
        for (QAction *item : menu->actions())
            if (item->text().startsWith(QLineEdit::tr("&Paste")) && item->isEnabled())
                return item->trigger(), true;
        return false;
    }
};

// Answers the next dialog of kind D through its seam, as a person would, once
// its activation handler has returned. Deadlines keep a test from hanging:
// a dialog still open two seconds after the answer (an access key clicks its
// button a moment later), or a dialog never answered within five, fails the
// test and is then closed with Rejected.
template <class D> class DialogAnswer
{
public:
    explicit DialogAnswer(std::function<void(QDialog &)> act)
    {
        D::nextAnswer.set([this, act = std::move(act)](QDialog &dialog) {
            acted = true;
            m_answered = &dialog;
            act(dialog);
            m_deadline.start(2000);
        });
        m_deadline.setSingleShot(true);
        QObject::connect(&m_deadline, &QTimer::timeout, [this] {
            if (m_answered && m_answered->isVisible())
                abandon(m_answered, "the answer left the dialog open");
            else if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()); dialog && !acted)
                abandon(dialog, "the dialog was never answered");
        });
        m_deadline.start(5000);
    }
    ~DialogAnswer() { D::nextAnswer.set({}); }
    bool acted = false;

private:
    static void abandon(QDialog *dialog, const char *why)
    {
        QTest::qFail(why, __FILE__, __LINE__);
        dialog->done(QDialog::Rejected);
    }

    QPointer<QDialog> m_answered;
    QTimer m_deadline;
};
