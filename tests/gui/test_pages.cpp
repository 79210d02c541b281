#include "form_fixture.h"

#include "output/website_page.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

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

// A started window on .../pic001.jpg whose image page goes to a fresh
// directory.
struct PageFixture : FormFixture
{
    QTemporaryDir dir;
    TVempForm &startAt(const QString &items)
    {
        TVempForm &form = start();
        form.WebPageFile = dir.filePath(QStringLiteral("serimo.htm"));
        typeUrl(kBase + "pic001.jpg");
        form.EditNumItems->selectAll();
        form.EditNumItems->insert(items);
        boxes.shown.clear();
        return form;
    }
    void pressImages() { QTest::mouseClick(form->btnImages, Qt::LeftButton); }
};
} // namespace

class TestPages : public QObject
{
    Q_OBJECT
private slots:
    void imagesWritesRunAndOpensIt();
    void imagesWithNoItems();
    void imagesItemsNotANumber_data();
    void imagesItemsNotANumber();
    void imagesStepFailureWritesNothing();
    void imagesPageCannotBeCreated();
    void handOverResult_data();
    void handOverResult();
    void websitePageWrittenToPageDirectory();
};

void TestPages::imagesWritesRunAndOpensIt()
{
    PageFixture f;
    TVempForm &form = f.startAt(QStringLiteral("3"));
    f.pressImages();

    const QList<QByteArray> lines = pageLines(form.WebPageFile);
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], QByteArray("<TITLE> Web Vemp Page </TITLE>\r"));
    QVERIFY(lines[1].startsWith("<HTML><BODY TEXT=\"#"));
    QCOMPARE(lines[3], entryLine("pic001.jpg"));
    QCOMPARE(lines[4], entryLine("pic002.jpg"));
    QCOMPARE(lines[5], entryLine("pic003.jpg"));
    QCOMPARE(lines[6], QByteArray("</BODY></HTML>"));
    QCOMPARE(f.url(), kBase + "pic004.jpg");
    QCOMPARE(f.shell.opened, QStringList{form.WebPageFile});
    QCOMPARE(f.shell.lastOperation, QStringLiteral("open"));
    QVERIFY(f.shell.lastDirectory.isEmpty());
    QCOMPARE(f.shell.lastShowCommand, 5);
    QVERIFY(!f.cursor.isBusy);
    QVERIFY(f.clipboard.writes.isEmpty());
    QVERIFY(f.boxes.shown.isEmpty());

    // The next press shows the next run and replaces the page.
    f.pressImages();
    const QList<QByteArray> next = pageLines(form.WebPageFile);
    QCOMPARE(next.size(), 7);
    QCOMPARE(next[3], entryLine("pic004.jpg"));
    QCOMPARE(next[5], entryLine("pic006.jpg"));
    QCOMPARE(f.url(), kBase + "pic007.jpg");
    QCOMPARE(f.shell.opened.size(), 2);
}

void TestPages::imagesWithNoItems()
{
    PageFixture f;
    TVempForm &form = f.startAt(QStringLiteral("0"));
    const QString panel0 = f.panel(0);
    form.ShortURL = QStringLiteral("untouched");
    f.pressImages();

    const QList<QByteArray> lines = pageLines(form.WebPageFile);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[3], QByteArray("</BODY></HTML>"));
    QCOMPARE(f.url(), kBase + "pic001.jpg");
    // Not even rebuilt: a step would have rewritten both.
    QCOMPARE(form.ShortURL, QStringLiteral("untouched"));
    QCOMPARE(f.panel(0), panel0);
    QCOMPARE(f.shell.opened, QStringList{form.WebPageFile});
}

void TestPages::imagesItemsNotANumber_data()
{
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("report");
    QTest::newRow("letters") << "x" << "'x' is not a valid integer value.";
    QTest::newRow("empty") << "" << "'' is not a valid integer value.";
}

void TestPages::imagesItemsNotANumber()
{
    QFETCH(QString, items);
    PageFixture f;
    TVempForm &form = f.startAt(items);
    QCOMPARE(f.items(), items);
    f.pressImages();

    QCOMPARE(f.boxes.shown.size(), 1);
    QTEST(f.boxes.shown[0].text, "report");
    QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Serimo"));
    QCOMPARE(f.url(), kBase + "pic001.jpg");
    QVERIFY(!QFile::exists(form.WebPageFile));
    QVERIFY(f.shell.opened.isEmpty());
    QVERIFY(!f.cursor.isBusy);
}

void TestPages::imagesStepFailureWritesNothing()
{
    PageFixture f;
    TVempForm &form = f.create(); // not yet active: no detection repairs the URL
    form.WebPageFile = f.dir.filePath(QStringLiteral("serimo.htm"));
    form.Edit1->setTextCascade(kBase + "picx.jpg");
    form.EditNumItems->setTextCascade(QStringLiteral("3"));
    f.pressImages();

    QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Change digits to match series.")});
    QCOMPARE(f.url(), kBase + "picx.jpg");
    QVERIFY(!QFile::exists(form.WebPageFile));
    QVERIFY(f.shell.opened.isEmpty());
    QVERIFY(!f.cursor.isBusy);
}

void TestPages::imagesPageCannotBeCreated()
{
    PageFixture f;
    TVempForm &form = f.startAt(QStringLiteral("3"));
    const QString page = f.dir.filePath(QStringLiteral("no such folder/serimo.htm"));
    form.WebPageFile = page;
    f.pressImages();

    QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Cannot create file %1.").arg(page)});
    QCOMPARE(f.boxes.shown[0].icon, MessageBoxes::Icon::Error);
    QCOMPARE(f.url(), kBase + "pic004.jpg");
    QVERIFY(f.shell.opened.isEmpty());
    QVERIFY(!f.cursor.isBusy);
}

void TestPages::handOverResult_data()
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

void TestPages::handOverResult()
{
    QFETCH(bool, website);
    QFETCH(int, result);
    QFETCH(QString, message);
    PageFixture f;
    TVempForm &form = f.startAt(QStringLiteral("2"));
    f.shell.result = result;
    if (website)
        form.mnuWebsite->trigger();
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

void TestPages::websitePageWrittenToPageDirectory()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QString url = f.url();
    const QString panel1 = f.panel(1);
    const int readyCalls = f.cursor.readyCalls;
    const QString page = f.files.pageDirectory() + "/qxpict.htm";
    form.mnuWebsite->trigger();

    QCOMPARE(f.shell.opened, QStringList{page});
    QCOMPARE(fileBytes(page), websitePage(kWebSiteUrl, kAuthorMail));
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.url(), url);
    QCOMPARE(f.panel(1), panel1);
    QVERIFY(f.clipboard.writes.isEmpty());
    QVERIFY(!f.cursor.isBusy);
    QCOMPARE(f.cursor.readyCalls, readyCalls);
}

QTEST_MAIN(TestPages)
#include "test_pages.moc"
