#include "form_fixture.h"

#include "output/website_page.h"
#include "unit/local_http_server.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolButton>
#include <csignal>
#include <sys/resource.h>

namespace {
const QString kBase = QStringLiteral("http://www.example.com/members/gallery/photos/98/");

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page's lines; every line, the last one included, must end in CR LF.
QList<QByteArray> pageLines(const QString &path)
{
    QByteArray bytes = fileBytes(path);
    if (!bytes.endsWith("\r\n"))
        return {};
    bytes.chop(2);
    return bytes.split('\n');
}

QByteArray entryLine(const QString &name)
{
    const QByteArray url = (kBase + name).toLatin1();
    return "<a href=\"" + url + "\" target=\"_blank\"><img border=\"4\" src=\"" + url + "\" alt=\"../"
           + name.toLatin1() + "\"></a>\r";
}

// A started window on .../pic001.jpg; its image page goes to the (fake)
// home directory.
struct PageFixture : FormFixture
{
    TVempForm &startAt(const QString &items)
    {
        TVempForm &form = start();
        typeUrl(kBase + "pic001.jpg");
        child<ChangeEdit>(form, "EditNumItems")->selectAll();
        child<ChangeEdit>(form, "EditNumItems")->insert(items);
        boxes.shown.clear();
        return form;
    }
    QString page() const { return QDir(files.homeDirectory()).filePath(QStringLiteral("serimo.htm")); }
    void pressImages() { QTest::mouseClick(child<QToolButton>(*form, "btnImages"), Qt::LeftButton); }
    void choose(const char *item) { child<QAction>(*form, item)->trigger(); }
};
} // namespace

class TestPageCommands : public QObject
{
    Q_OBJECT
private slots:
    void imagesWritesRunAndOpensIt();
    void imagesWithNoItems();
    void imagesItemsNotANumber_data();
    void imagesItemsNotANumber();
    void imagesStepFailureWritesNothing();
    void imagesPageCannotBeCreatedAfterTheRunHasAdvanced();
    void pageOnAFullDiskKeepsTheOldOne_data();
    void pageOnAFullDiskKeepsTheOldOne();
    void handOverResult_data();
    void handOverResult();
    void websitePageWrittenToPageDirectory();
    void downloadRunIntoChosenFolder();
    void downloadRefusesFolderItCannotWrite();
    void downloadStoppedByEscAndByClosing();
    void copyRun_data();
    void copyRun();
    void saveRunList();
    void sendRunToKGet();
    void aria2SecretAndTheKeyring();
    void aria2RefusedSecretAndTheFolderTyped();
    void messagesFitTheFirstStartSize_data();
    void messagesFitTheFirstStartSize();
};

void TestPageCommands::imagesWritesRunAndOpensIt()
{
    PageFixture f;
    f.startAt(QStringLiteral("3"));
    f.pressImages();

    const QList<QByteArray> lines = pageLines(f.page());
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], QByteArray("<TITLE> Web Vemp Page </TITLE>\r"));
    QVERIFY(lines[1].startsWith("<HTML><BODY TEXT=\"#"));
    QCOMPARE(lines[3], entryLine("pic001.jpg"));
    QCOMPARE(lines[4], entryLine("pic002.jpg"));
    QCOMPARE(lines[5], entryLine("pic003.jpg"));
    QCOMPARE(lines[6], QByteArray("</BODY></HTML>"));
    QCOMPARE(f.url(), kBase + "pic004.jpg");
    QCOMPARE(f.shell.opened, QStringList{f.page()});
    QCOMPARE(f.shell.lastOperation, QStringLiteral("open"));
    QVERIFY(f.shell.lastDirectory.isEmpty());
    QCOMPARE(f.shell.lastShowCommand, 5);
    QVERIFY(!f.cursor.isBusy);
    QVERIFY(f.clipboard.writes.isEmpty());
    QVERIFY(f.boxes.shown.isEmpty());

    // The next press shows the next run and replaces the page.
    f.pressImages();
    const QList<QByteArray> next = pageLines(f.page());
    QCOMPARE(next.size(), 7);
    QCOMPARE(next[3], entryLine("pic004.jpg"));
    QCOMPARE(next[5], entryLine("pic006.jpg"));
    QCOMPARE(f.url(), kBase + "pic007.jpg");
    QCOMPARE(f.shell.opened.size(), 2);

    // An address of another scheme is text on the page, and the status line says so.
    f.typeUrl(QStringLiteral("javascript:alert(document.domain)//img_001.jpg"));
    f.pressImages();
    QCOMPARE(pageLines(f.page()).mid(3, 3), QList<QByteArray>({"<p>javascript:alert(document.domain)//img_001.jpg</p>\r",
                                                              "<p>javascript:alert(document.domain)//img_002.jpg</p>\r",
                                                              "<p>javascript:alert(document.domain)//img_003.jpg</p>\r"}));
    QCOMPARE(f.whole(), QStringLiteral("3 addresses written as text: not http, https, ftp or file."));
}

void TestPageCommands::imagesWithNoItems()
{
    PageFixture f;
    TVempForm &form = f.startAt(QStringLiteral("0"));
    child<StatusLine>(form, "StatusBar")->setPanelText(0, QStringLiteral("untouched"));
    f.pressImages();

    const QList<QByteArray> lines = pageLines(f.page());
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[3], QByteArray("</BODY></HTML>"));
    QCOMPARE(f.url(), kBase + "pic001.jpg");
    // Not even rebuilt: a step would have rewritten the short URL.
    QCOMPARE(f.panel(0), QStringLiteral("untouched"));
    QCOMPARE(f.shell.opened, QStringList{f.page()});
}

void TestPageCommands::imagesItemsNotANumber_data()
{
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("report");
    QTest::newRow("letters") << "x" << "'x' is not a valid integer value.";
    QTest::newRow("empty") << "" << "'' is not a valid integer value.";
}

void TestPageCommands::imagesItemsNotANumber()
{
    QFETCH(QString, items);
    PageFixture f;
    f.startAt(items);
    QCOMPARE(f.items(), items);
    f.pressImages();

    QCOMPARE(f.boxes.shown.size(), 1);
    QTEST(f.boxes.shown[0].text, "report");
    QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Serimo"));
    QCOMPARE(f.url(), kBase + "pic001.jpg");
    QVERIFY(!QFile::exists(f.page()));
    QVERIFY(!f.cursor.isBusy);
}

void TestPageCommands::imagesStepFailureWritesNothing()
{
    PageFixture f;
    TVempForm &form = f.create(); // not yet active: no detection repairs the URL
    const QString letter = QStringLiteral("http://www.example.com/picx.jpg"); // no number in a folder either
    child<ChangeEdit>(form, "Edit1")->setTextCascade(letter);
    child<ChangeEdit>(form, "EditNumItems")->setTextCascade(QStringLiteral("3"));
    f.pressImages();

    QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Change digits to match series.")});
    QCOMPARE(f.url(), letter);
    QVERIFY(!QFile::exists(f.page()));
    QVERIFY(!f.cursor.isBusy);
}

void TestPageCommands::imagesPageCannotBeCreatedAfterTheRunHasAdvanced()
{
    PageFixture f;
    f.startAt(QStringLiteral("3"));
    const QString page = f.page();
    QDir(f.files.homeDirectory()).removeRecursively();
    f.pressImages();

    QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Cannot create file %1.").arg(page)});
    QCOMPARE(f.boxes.shown[0].icon, MessageBoxes::Icon::Error);
    QCOMPARE(f.url(), kBase + "pic004.jpg");
    QVERIFY(!f.cursor.isBusy);
}

void TestPageCommands::pageOnAFullDiskKeepsTheOldOne_data()
{
    QTest::addColumn<bool>("website");
    QTest::newRow("images") << false;
    QTest::newRow("web site") << true;
}

void TestPageCommands::pageOnAFullDiskKeepsTheOldOne()
{
    QFETCH(bool, website);
    PageFixture f;
    TVempForm &form = f.startAt(QStringLiteral("3"));
    const QString page = website ? f.files.pageDirectory() + "/qxpict.htm" : f.page();
    QFile old(page);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("OLD PAGE") == 8);
    old.close();

    // No file may grow past 64 bytes: the page's write fails as on a full disk.
    rlimit before{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    if (website)
        child<QAction>(form, "mnuWebsite")->trigger();
    else
        f.pressImages();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Cannot create file %1.").arg(page)});
    QCOMPARE(fileBytes(page), QByteArray("OLD PAGE"));
    QCOMPARE(QDir(QFileInfo(page).path()).entryList(QDir::Files), QStringList{QFileInfo(page).fileName()});
}

void TestPageCommands::handOverResult_data()
{
    QTest::addColumn<bool>("website");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("images, refused") << false << int(Shell::kRefused) << "Web Browser not found.";
    QTest::newRow("images, 32") << false << 32 << "Web Browser not found.";
    QTest::newRow("images, 33 taken") << false << 33 << "";
    QTest::newRow("images, negative") << false << -1 << "Web Browser not found.";
    QTest::newRow("web site, missing") << true << int(Shell::kFileNotFound) << "Browser not found.";
    QTest::newRow("web site, 33 taken") << true << 33 << "";
}

void TestPageCommands::handOverResult()
{
    QFETCH(bool, website);
    QFETCH(int, result);
    QFETCH(QString, message);
    PageFixture f;
    TVempForm &form = f.startAt(QStringLiteral("2"));
    f.shell.result = result;
    if (website)
        child<QAction>(form, "mnuWebsite")->trigger();
    else
        f.pressImages();

    if (message.isEmpty()) {
        QVERIFY(f.boxes.shown.isEmpty());
    } else {
        QCOMPARE(f.boxes.shown.size(), 1);
        QCOMPARE(f.boxes.shown[0].text, message);
        QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Error"));
        QCOMPARE(f.boxes.shown[0].icon, MessageBoxes::Icon::Error);
    }
    // The page was written before the hand-over and stays.
    QCOMPARE(f.shell.opened.size(), 1);
    QVERIFY(!fileBytes(f.shell.opened[0]).isEmpty());
    QCOMPARE(f.url(), kBase + (website ? "pic001.jpg" : "pic003.jpg"));
}

void TestPageCommands::websitePageWrittenToPageDirectory()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QString url = f.url();
    const QString panel1 = f.panel(1);
    const int readyCalls = f.cursor.readyCalls;
    const QString page = f.files.pageDirectory() + "/qxpict.htm";
    child<QAction>(form, "mnuWebsite")->trigger();

    QCOMPARE(f.shell.opened, QStringList{page});
    QCOMPARE(fileBytes(page), websitePage(kWebSiteUrl, kAuthorMail));
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.url(), url);
    QCOMPARE(f.panel(1), panel1);
    QVERIFY(f.clipboard.writes.isEmpty());
    QVERIFY(!f.cursor.isBusy);
    QCOMPARE(f.cursor.readyCalls, readyCalls);
}

namespace {
// A started window on the server's p1.jpg with Items at `items`; p3.jpg is
// missing, "slow" files send part of their body and then nothing.
struct DownloadFixture : FormFixture
{
    TestServer server{[](const QString &path, int) {
        if (path == QLatin1String("p3.jpg") || path.contains(QLatin1String("987654321")))
            return TestServer::Reply{answer(404, "no")};
        if (path.startsWith(QLatin1String("big_")))
            return TestServer::Reply{answer(path.mid(4, 4).toInt() <= 1500 ? 200 : 404, "jpg")};
        if (path.startsWith(QLatin1String("no_")))
            return TestServer::Reply{answer(403, "no")};
        if (path.startsWith(QLatin1String("slow")))
            return TestServer::Reply{"HTTP/1.1 200 OK\r\nContent-Length: 9999\r\n\r\nabc", true};
        return TestServer::Reply{answer(200, bodyOf(path))};
    }};
    QTemporaryDir folder;

    void startAt(const QString &name, const QString &items)
    {
        start();
        typeUrl(server.url(name).toString());
        child<ChangeEdit>(*form, "EditNumItems")->selectAll();
        child<ChangeEdit>(*form, "EditNumItems")->insert(items);
        choosers.answer = folder.path();
    }
    QAction *item() const { return child<QAction>(*form, "mnuDownload"); }
    QStringList saved() const { return QDir(folder.path()).entryList(QDir::Files); }
};
} // namespace

void TestPageCommands::downloadRunIntoChosenFolder()
{
    DownloadFixture f;
    f.startAt(QStringLiteral("p1.jpg"), QStringLiteral("4"));
    const QString url = f.url();
    f.item()->trigger();
    QCOMPARE(f.item()->text(), QStringLiteral("Stop down&load"));
    QTRY_COMPARE(f.panel(1), QStringLiteral("Saved 3"));
    QCOMPARE(f.saved(), (QStringList{"p1.jpg", "p2.jpg", "p4.jpg"}));
    QCOMPARE(f.boxes.texts(), QStringList{"Saved 3 files to " + f.folder.path() + ".\nMissing: 3."});
    QCOMPARE(f.boxes.shown.last().action, QStringLiteral("Open folder"));
    QCOMPARE(f.url(), url);
    QCOMPARE(f.items(), QStringLiteral("4"));
    QVERIFY(!f.cursor.isBusy);
    QCOMPARE(f.taskbar.shown.first(), 0.0);
    QCOMPARE(f.taskbar.shown.last(), -1.0);
    QCOMPARE(f.item()->text(), QStringLiteral("Down&load run..."));

    // Again: the chooser opens in that folder, and only the missing file is
    // asked for.
    f.item()->trigger();
    f.boxes.takeOffer = true;
    QTRY_COMPARE(f.panel(1), QStringLiteral("Saved 0, 3 already there"));
    QCOMPARE(f.shell.opened, QStringList{f.folder.path()});
    QCOMPARE(f.choosers.openedAt, (QStringList{f.files.downloadsDirectory(), f.folder.path()}));
    QCOMPARE(f.server.requests.value(QStringLiteral("p1.jpg")).size(), 1);
    QCOMPARE(f.server.requests.value(QStringLiteral("p3.jpg")).size(), 2);

    // A desktop with nothing that opens folders: the box says so.
    f.shell.result = Shell::kRefused;
    f.item()->trigger();
    QTRY_COMPARE(f.boxes.shown.size(), 4); // the summary, then what went wrong
    QCOMPARE(f.boxes.texts().last(), "No program opened the folder " + f.folder.path() + ".");
    QCOMPARE(f.boxes.shown.last().icon, MessageBoxes::Icon::Error);

    // The image page shows the pictures the run saved, the others from the site.
    QTest::mouseClick(child<QToolButton>(*f.form, "btnImages"), Qt::LeftButton);
    const QList<QByteArray> lines = pageLines(QDir(f.files.homeDirectory()).filePath(QStringLiteral("serimo.htm")));
    for (const int n : {1, 2, 3, 4}) {
        const QString name = QStringLiteral("p%1.jpg").arg(n);
        const QString shown = n == 3 ? url.chopped(6) + name : QUrl::fromLocalFile(f.folder.filePath(name)).toString();
        QVERIFY2(lines.value(2 + n).contains("src=\"" + shown.toUtf8() + '"'), lines.value(2 + n).constData());
    }
    f.form->close();
    QCOMPARE(f.settings.values.value(QStringLiteral("DownloadFolder")), QVariant(f.folder.path()));
}

void TestPageCommands::downloadRefusesFolderItCannotWrite()
{
    DownloadFixture f;
    f.startAt(QStringLiteral("p1.jpg"), QStringLiteral("2"));
    f.choosers.answer = QDir(f.folder.path()).filePath(QStringLiteral("not-a-folder"));
    QFile file(f.choosers.answer);
    QVERIFY(file.open(QIODevice::WriteOnly));
    f.item()->trigger();
    QCOMPARE(f.boxes.texts(),
             QStringList{"Serimo cannot write into the folder " + f.choosers.answer + ".\nChoose another folder."});
    QCoreApplication::processEvents();
    QVERIFY(f.server.requests.isEmpty());
    QCOMPARE(f.item()->text(), QStringLiteral("Down&load run..."));
}

void TestPageCommands::downloadStoppedByEscAndByClosing()
{
    DownloadFixture f;
    f.startAt(QStringLiteral("slow1.jpg"), QStringLiteral("3"));
    const QString part = QDir(f.folder.path()).filePath(QStringLiteral("slow1.jpg.serimo-part"));
    f.item()->trigger();
    QTRY_VERIFY(f.server.requests.size() == 3 + 1); // and the address that cannot exist
    QTest::keyClick(child<ChangeEdit>(*f.form, "Edit1"), Qt::Key_Escape);
    QTRY_COMPARE(f.panel(1), QStringLiteral("Stopped. Saved 0"));
    QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    f.item()->trigger();
    QTRY_VERIFY(QFileInfo::exists(part));
    f.form->close();
    QVERIFY(!QFileInfo::exists(part));
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestPageCommands::copyRun_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QStringList>("run"); // empty: a warning, nothing copied
    const QString h = QStringLiteral("http://www.example.com/a/");
    QTest::newRow("three") << kBase + "pic001.jpg" << "3"
                           << QStringList{kBase + "pic001.jpg", kBase + "pic002.jpg", kBase + "pic003.jpg"};
    QTest::newRow("widens") << h + "s9.png?x=1" << "3" << QStringList{h + "s9.png?x=1", h + "s10.png?x=1", h + "s11.png?x=1"};
    QTest::newRow("alpha") << h + "picy.jpg" << "2" << QStringList{h + "picy.jpg", h + "picz.jpg"};
    QTest::newRow("items 0") << kBase + "pic001.jpg" << "0" << QStringList();
}

// The whole run goes to the clipboard at once; the window does not step.
void TestPageCommands::copyRun()
{
    QFETCH(QString, url);
    QFETCH(QString, items);
    QFETCH(QStringList, run);
    for (const bool refused : {false, true}) {
        PageFixture f;
        f.startAt(items);
        f.typeUrl(url);
        f.clipboard.refuse = refused;
        const QString panel1 = f.panel(1);
        f.choose("mnuCopyRun");
        const bool copied = !run.isEmpty() && !refused;
        QCOMPARE(f.clipboard.writes, copied ? QStringList{run.join(u'\n') + u'\n'} : QStringList());
        QCOMPARE(f.boxes.shown.size(), copied ? 0 : 1);
        QCOMPARE(f.panel(1), copied ? QStringLiteral("Copied %1 URLs").arg(run.size()) : panel1);
        QCOMPARE(f.url(), url);
        QCOMPARE(f.items(), items);
    }
}

void TestPageCommands::saveRunList()
{
    PageFixture f;
    QTemporaryDir folder;
    f.startAt(QStringLiteral("3"));
    // Cancelled: nothing written. Then saved where the user chose.
    f.choose("mnuSaveRunList");
    const QDir downloads(f.files.downloadsDirectory());
    QCOMPARE(f.choosers.openedAt, QStringList{downloads.filePath(QStringLiteral("pic001-3.txt"))});
    f.choosers.answer = folder.filePath(QStringLiteral("mine.txt"));
    f.choose("mnuSaveRunList");
    QCOMPARE(fileBytes(f.choosers.answer), (kBase + "pic001.jpg\n" + kBase + "pic002.jpg\n" + kBase + "pic003.jpg\n").toUtf8());
    QCOMPARE(f.panel(1), QStringLiteral("Saved 3 URLs to mine.txt"));
    // A place that cannot be written is refused, and nothing is left there.
    f.typeUrl(kBase + "pic\u00e9007.jpg");
    f.choosers.answer = folder.filePath(QStringLiteral("nowhere/list.txt"));
    f.choose("mnuSaveRunList");
    QCOMPARE(f.choosers.openedAt.value(2), downloads.filePath(QString::fromUtf8("pic\u00e9007-3.txt")));
    QCOMPARE(f.boxes.texts(), QStringList{"Cannot create file " + f.choosers.answer + "."});
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"mine.txt"});
    QCOMPARE(f.url(), kBase + "pic\u00e9007.jpg");
}

// KGet shows in the menu only while it is on the bus, takes the run in one
// call, and a refusal names its error.
void TestPageCommands::sendRunToKGet()
{
    PageFixture f;
    f.settings.values.insert(QStringLiteral("UserAgent"), QStringLiteral("Agent 1"));
    TVempForm &form = f.startAt(QStringLiteral("2"));
    auto *send = child<QAction>(form, "mnuSendRunToKGet");
    QVERIFY(!send->isVisible());
    for (const bool present : {true, false, true}) {
        emit child<QMenu>(form, "PopupMenu1")->aboutToShow();
        QCOMPARE(f.kget.presenceDue.size(), 1);
        f.kget.presenceDue.takeFirst()(present);
        QCOMPARE(send->isVisible(), present);
    }
    f.choose("mnuSendRunToKGet");
    QCOMPARE(f.kget.sent.size(), 1);
    QCOMPARE(f.kget.sent[0].first, QStringList({kBase + "pic001.jpg", kBase + "pic002.jpg"}));
    QCOMPARE(f.kget.sent[0].second, f.files.downloadsDirectory());
    f.kget.answerDue({false, 0, QStringLiteral("No reply within 5 s")});
    // Download options do not go with the addresses: said once a session.
    QCOMPARE(f.boxes.texts(), (QStringList{"KGet takes the addresses only: the Referer, user agent, cookies and wait "
                                           "of Download options do not go with them.",
                                           "KGet did not take the run: No reply within 5 s"}));
    f.choose("mnuSendRunToKGet");
    f.kget.answerDue({true, 2, {}});
    QCOMPARE(f.panel(1), QStringLiteral("KGet took 2 of 2 URLs"));
    QCOMPARE(f.boxes.shown.size(), 2);
}

// The keyring is asked only when the user ticked "Remember the secret", at
// most once a session when it does not answer, and never given a secret the
// daemon did not take.
void TestPageCommands::aria2SecretAndTheKeyring()
{
    QString offered;
    bool ticked = false;
    QString status; // while the dialog asks
    auto answerDialog = [&](PageFixture &f, const QString &secret, bool remember) {
        QTimer::singleShot(0, [&, secret, remember] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            status = f.whole();
            offered = child<QLineEdit>(*dialog, "editSecret")->text();
            ticked = child<QCheckBox>(*dialog, "checkRememberSecret")->isChecked();
            child<QCheckBox>(*dialog, "checkRememberSecret")->setChecked(remember);
            child<QLineEdit>(*dialog, "editAddress")->setText(QStringLiteral("http://127.0.0.1:1/jsonrpc"));
            child<QLineEdit>(*dialog, "editSecret")->setText(secret);
            static_cast<QDialog *>(dialog)->accept();
        });
    };
    PageFixture f;
    f.startAt(QStringLiteral("2"));
    answerDialog(f, QStringLiteral("first"), true);
    f.choose("mnuSendRunToAria2");
    QVERIFY(!ticked);
    QVERIFY(f.secrets.reads.isEmpty());
    // No daemon there took it: the secret stays out of the keyring.
    QTRY_COMPARE(f.boxes.shown.size(), 1);
    QVERIFY(f.secrets.written.isEmpty());
    QVERIFY(f.form->close());

    // Remembered across a restart: the keyring is asked once; silent, it is
    // given up on for the session, and the status line says so once.
    PageFixture g;
    g.settings.values = f.settings.values;
    g.startAt(QStringLiteral("2"));
    const QString note = QStringLiteral("No keyring answered: Serimo keeps the aria2 secret until it closes.");
    g.choose("mnuSendRunToAria2");
    QCOMPARE(g.secrets.reads, QStringList{"http://127.0.0.1:1/jsonrpc"});
    answerDialog(g, QStringLiteral("second"), true);
    g.secrets.readDue(false, {});
    QCOMPARE(status, note);
    QVERIFY(ticked);
    QTRY_COMPARE(g.boxes.shown.size(), 1);
    answerDialog(g, QStringLiteral("third"), true);
    g.choose("mnuSendRunToAria2");
    QCOMPARE(offered, QStringLiteral("second"));
    QCOMPARE(g.secrets.reads.size(), 1);
    QVERIFY(g.secrets.written.isEmpty());
    QVERIFY(status != note);
}

// A secret the daemon refused is not offered again, and the focus is on its
// box; the folder is the one typed for that daemon, never one of this
// machine.
void TestPageCommands::aria2RefusedSecretAndTheFolderTyped()
{
    TestServer daemon{[](const QString &, int) {
        return TestServer::Reply{answer(200, R"({"result":[{"code":1,"message":"Unauthorized"},)"
                                             R"({"code":1,"message":"Unauthorized"}]})")};
    }};
    // Each time: the secret, the folder, the box with the focus, then the
    // folder for another address and for the daemon's again.
    QStringList seen;
    auto answerDialog = [&](const QString &folder) {
        QTimer::singleShot(0, [&, folder] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            seen << child<QLineEdit>(*dialog, "editSecret")->text() << child<QLineEdit>(*dialog, "editFolder")->text()
                 << dialog->focusWidget()->objectName();
            child<QLineEdit>(*dialog, "editAddress")->setText(QStringLiteral("http://127.0.0.1:2/jsonrpc"));
            seen << child<QLineEdit>(*dialog, "editFolder")->text();
            child<QLineEdit>(*dialog, "editAddress")->setText(daemon.url(QStringLiteral("jsonrpc")).toString());
            seen << child<QLineEdit>(*dialog, "editFolder")->text();
            child<QLineEdit>(*dialog, "editSecret")->setText(QStringLiteral("wrong"));
            child<QLineEdit>(*dialog, "editFolder")->setText(folder);
            static_cast<QDialog *>(dialog)->accept();
        });
    };
    PageFixture f;
    f.startAt(QStringLiteral("2"));
    answerDialog(QStringLiteral("/srv/pictures"));
    f.choose("mnuSendRunToAria2");
    QTRY_COMPARE(f.boxes.shown.size(), 1);
    answerDialog(QString());
    f.choose("mnuSendRunToAria2");
    QTRY_COMPARE(f.boxes.shown.size(), 2);
    QCOMPARE(seen, (QStringList{"", "", "editAddress", "", "", "", "/srv/pictures", "editSecret", "", "/srv/pictures"}));
}

void TestPageCommands::messagesFitTheFirstStartSize_data()
{
    QTest::addColumn<QString>("start"); // the address in the box, on the test's server
    QTest::addColumn<QString>("gist");  // panel 1; %1 stands for the server's host and port
    QTest::addColumn<QString>("whole"); // what the tooltip's text holds
    QTest::newRow("find the end past Items")
        << "big_0001.jpg" << "Ends at 1500; Items holds 999" << "Series ends at 1500 (";
    QTest::newRow("find the end refused") << "no_001.jpg" << "HTTP 403 from %1" << "the server answered HTTP 403 for http://%1/no_001.jpg: it may";
    QTest::newRow("find the end") << "big_1495.jpg" << "Series ends at 1500 (19 requests)" << "Series ends at 1500 (19 requests)";
    QTest::newRow("a pasted list") << "" << "First line pasted, 2 left out" << "Pasted the first line; 2 more lines left out.";
    QTest::newRow("the hold") << "" << "Waiting: \"Save file\u2026\" is in front" << "Waiting: \"Save file - Downloader\" is in front";
    QTest::newRow("a hold title with save far in")
        << "" << "Waiting: \"\u2026Save As\u2026\" is in front" << "Waiting: \"Photos of the trip to the lakes - Save As";
    QTest::newRow("a download's failures, in address order")
        << "no_001.jpg" << "Saved 0, 3 failed"
        << ".\nFailed: 3 files.\n  no_001.jpg: HTTP 403\n  no_002.jpg: HTTP 403\n  no_003.jpg: HTTP 403";
    QTest::newRow("one line left out") << "" << "First line pasted, 1 left out" << "Pasted the first line; 1 more line left out.";
}

// At the first start's size each message shows its gist whole in panel 1,
// the whole text in its tooltip; the Toolbar view shows as much of it as
// its width allows.
void TestPageCommands::messagesFitTheFirstStartSize()
{
    QFETCH(QString, start);
    QFETCH(QString, gist);
    DownloadFixture f;
    f.startAt(start.isEmpty() ? QStringLiteral("p001.jpg") : start, QStringLiteral("3"));
    f.firstStartSize();
    const QString host = f.server.url(QString()).authority();
    const QByteArray tag = QTest::currentDataTag();
    if (tag.startsWith("find")) {
        child<QAction>(*f.form, "mnuFindEnd")->trigger();
        QTRY_VERIFY(!f.panel(1).startsWith(QLatin1String("Finding")));
    } else if (tag.startsWith("a download")) {
        f.item()->trigger();
        QTRY_VERIFY(f.panel(1).startsWith(QLatin1String("Saved")));
    } else if (tag.contains("past") || tag.contains("line")) {
        f.clipboard.put(tag.startsWith("one") ? "a1.jpg\nb" : "a1.jpg\nb\nc");
        QTest::mouseClick(child<QToolButton>(*f.form, "btnPaste"), Qt::LeftButton);
    } else {
        child<FeedTimer>(*f.form, "Timer1")->setInterval(3'600'000);
        child<QToolButton>(*f.form, "btnFeed")->click();
        f.foreground.currentTitle = tag.contains("far") ? "Photos of the trip to the lakes - Save As - Pictures"
                                                         : "Save file - Downloader";
        f.tick();
    }
    QCOMPARE(f.panel(1), gist.arg(host));
    QVERIFY(f.panelFits());
    QFETCH(QString, whole);
    QVERIFY2(f.whole().contains(whole.arg(host)), qPrintable(f.whole()));
    // The Toolbar view: panel 1 shows at least half the line, or all of itself.
    child<QAction>(*f.form, "mnuToolbarStyle")->trigger();
    const auto *line = child<StatusLine>(*f.form, "StatusBar");
    QCOMPARE(f.panel(1), gist.arg(host));
    QVERIFY(line->width() - line->panel(1)->x() >= std::min(line->panel(1)->width(), line->width() / 2));
}

QTEST_MAIN(TestPageCommands)
#include "test_page_commands.moc"
