#pragma once

// Fakes of the desktop adapters, so the real window runs offscreen without a
// person: message boxes are recorded and answered at once.

#include "platform/busy_cursor.h"
#include "platform/clipboard.h"
#include "platform/file_choosers.h"
#include "platform/foreground_window.h"
#include "platform/help_viewer.h"
#include "platform/keep_above.h"
#include "runs/kget.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "platform/secret_store.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/dbus/taskbar_progress.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QStringList>
#include <functional>

struct ShownBox
{
    QString caption;
    QString text;
    MessageBoxes::Icon icon;
    QString action; // the button offered beside OK, if any
};

class FakeMessageBoxes : public MessageBoxes
{
public:
    void show(const QString &caption, const QString &text, Icon icon) override
    {
        shown.append({caption, text, icon, {}});
        if (onShow)
            onShow();
    }
    bool offer(const QString &caption, const QString &text, Icon icon, const QString &action) override
    {
        shown.append({caption, text, icon, action});
        return takeOffer;
    }
    bool takeOffer = false;
    QStringList texts() const
    {
        QStringList list;
        for (const ShownBox &box : shown)
            list.append(box.text);
        return list;
    }
    QList<ShownBox> shown;
    std::function<void()> onShow;
};

class FakeClipboard : public Clipboard
{
public:
    bool hasText() const override { return holdsText; }
    QString text() const override { return holdsText ? content : QString(); }
    QString selectionText() const override { return selection; }
    bool answered() const override { return answers; }
    bool setText(const QString &text) override
    {
        if (refuse)
            return false;
        content = text;
        holdsText = true;
        writes.append(text);
        if (onWrite)
            onWrite();
        return true;
    }
    void put(const QString &text)
    {
        content = text;
        holdsText = true;
    }
    void putNonText()
    {
        content.clear();
        holdsText = false;
    }
    QString content;
    bool holdsText = false;
    QString selection;
    QStringList writes;
    std::function<void()> onWrite;
    bool refuse = false;
    bool answers = true;
};

class FakeSettingsStore : public SettingsStore
{
public:
    bool isAvailable() const override { return available; }
    QString leftAlone() const override { return leftAloneBecause; }
    std::optional<QVariant> read(const QString &name) const override
    {
        if (!values.contains(name))
            return std::nullopt;
        return values.value(name);
    }
    bool write(const QString &name, const QVariant &value) override
    {
        if (refuseWrites || refusedNames.contains(name))
            return false;
        values.insert(name, value);
        return true;
    }
    bool remove(const QString &name) override { return !refuseWrites && (values.remove(name), true); }
    QMap<QString, QVariant> values;
    bool available = true;
    QString leftAloneBecause;
    bool refuseWrites = false;
    QStringList refusedNames;
};

class FakeHelpViewer : public HelpViewer
{
public:
    void showContext(const QString &helpFile, int context, QWidget *) override
    {
        requests.append(QStringLiteral("%1#%2").arg(helpFile).arg(context));
    }
    QStringList requests;
};

class FakeBusyCursor : public BusyCursor
{
public:
    void busy() override { isBusy = true; }
    void ready() override
    {
        isBusy = false;
        ++readyCalls;
    }
    bool isBusy = false;
    int readyCalls = 0;
};

class FakeShell : public Shell
{
public:
    int ShellOpenFile(const QString &file, const QString &operation, const QString &directory,
                      int showCommand) override
    {
        opened.append(file);
        lastOperation = operation;
        lastDirectory = directory;
        lastShowCommand = showCommand;
        return result;
    }
    QStringList opened;
    QString lastOperation;
    QString lastDirectory;
    int lastShowCommand = 0;
    int result = kAccepted;
};

class FakeForegroundWindow : public ForegroundWindow
{
public:
    QString title() override
    {
        ++reads;
        return currentTitle;
    }
    QString currentTitle;
    int reads = 0;
};

// A home and a page directory of their own, so no test writes into the real
// home or beside the test program.
class FakeFileLocations : public FileLocations
{
public:
    FakeFileLocations()
    {
        QDir(m_root.path()).mkpath(QStringLiteral("home"));
        QDir(m_root.path()).mkpath(QStringLiteral("pages"));
        QDir(m_root.path()).mkpath(QStringLiteral("downloads"));
    }
    QString homeDirectory() const override { return m_root.filePath(QStringLiteral("home")); }
    QString pageDirectory() const override { return m_root.filePath(QStringLiteral("pages")); }
    QString downloadsDirectory() const override { return m_root.filePath(QStringLiteral("downloads")); }

private:
    QTemporaryDir m_root;
};

class FakeKeepAbove : public KeepAbove
{
public:
    bool set(QWidget *, bool above) override
    {
        requests.append(above);
        return offered;
    }
    QList<bool> requests;
    bool offered = true;
};

// Answers each chooser with `answer` (empty: cancelled) and notes where it
// opened.
class FakeFileChoosers : public FileChoosers
{
public:
    QString chooseFolder(QWidget *, const QString &, const QString &startFolder) override
    {
        openedAt.append(startFolder);
        return answer;
    }
    QString chooseSaveFile(QWidget *, const QString &, const QString &startPath, const QString &) override
    {
        openedAt.append(startPath);
        return answer;
    }
    QString chooseOpenFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter) override
    {
        return chooseSaveFile(parent, title, startPath, filter);
    }
    QString answer;
    QStringList openedAt;
};

class FakeTaskbarProgress : public TaskbarProgress
{
public:
    void show(double fraction) override { shown.append(fraction); }
    void clear() override { shown.append(-1); }
    QList<double> shown; // -1: cleared
};

// KGet's answers come when the test calls them, as from the event loop.
class FakeKGet : public KGet
{
public:
    void checkPresent(std::function<void(bool)> done) override { presenceDue.append(std::move(done)); }
    void addTransfers(const QStringList &urls, const QString &folder, std::function<void(Answer)> done) override
    {
        sent.append({urls, folder});
        answerDue = std::move(done);
    }
    QList<std::function<void(bool)>> presenceDue;
    QList<std::pair<QStringList, QString>> sent;
    std::function<void(Answer)> answerDue;
};

// The keyring's answers come when the test calls them, as from the event loop.
class FakeSecretStore : public SecretStore
{
public:
    void read(const QString &key, std::function<void(bool, const QString &)> done) override
    {
        reads.append(key);
        readDue = std::move(done);
    }
    void write(const QString &key, const QString &secret, std::function<void(bool)> done) override
    {
        written.append({key, secret});
        writeDue = std::move(done);
    }
    QStringList reads;
    QList<std::pair<QString, QString>> written;
    std::function<void(bool, const QString &)> readDue;
    std::function<void(bool)> writeDue;
};
