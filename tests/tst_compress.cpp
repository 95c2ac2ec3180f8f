// SPDX-License-Identifier: MIT
#include "advertising/advdata.h"
#include "archivetools.h"
#include "files/filewidget.h"
#include "files/workfolder.h"
#include "mainwindow/compressionjob.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <unistd.h>

using ArchiveTools::entries;
using ArchiveTools::writeFile;
using ArchiveTools::writeStandIn;
using TestSupport::ModalAnswer;
using TestSupport::pressButton;

// Receives the URLs the program hands to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// "Compress" in the main window, from the button press to the message and the cleared list.
class TestCompress : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void emptyListIsRefusedWithoutARun();
    void existingArchivePathIsRefusedWithoutARun_data();
    void existingArchivePathIsRefusedWithoutARun();
    void successReportsAndClearsTheList_data();
    void successReportsAndClearsTheList();
    void failureKeepsTheListAndLeavesNoArchive();
    void refusedWriteShowsTheAccessMessage();
    void filesArePassedInPathOrder();
    void progressSaysWhatIsPacked_data();
    void progressSaysWhatIsPacked();
    void windowTakesNoInputDuringARun();
    void cancelStopsTheArchiverAndLeavesNothing();

private:
    static qint32 banner() { return AdvData::shared()->getNextAdvIndex(); }
    void makeWindow();
    void useStandIn(const QByteArray &body);
    QString destination() const { return window->findChild<QPushButton *>("Destination_path")->text(); }
    void setDestination(const QString &path);

    QTemporaryDir *temp = nullptr;
    MainWidget *window = nullptr;
    FileWidget *panel = nullptr;
    QString runMarker;
    QByteArray savedHome, savedTmp, savedConfig;
};

void TestCompress::init()
{
    temp = new QTemporaryDir;
    QVERIFY(temp->isValid());
    savedHome = qgetenv("HOME");
    savedTmp = qgetenv("TMPDIR");
    savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(temp->path() + "/home"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp->path() + "/home/.config"));
    qputenv("TMPDIR", QFile::encodeName(temp->path() + "/tmp"));
    QVERIFY(QDir().mkpath(temp->path() + "/tmp"));
    QVERIFY(QDir().mkpath(temp->path() + "/home/Documents"));
    QVERIFY(QDir().mkpath(temp->path() + "/out"));
    runMarker = temp->path() + "/archiver-ran";
    makeWindow();
}

void TestCompress::cleanup()
{
    delete window;
    window = nullptr;
    qputenv("HOME", savedHome);
    qputenv("TMPDIR", savedTmp);
    qputenv("XDG_CONFIG_HOME", savedConfig);
    delete temp;
    QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
}

void TestCompress::makeWindow()
{
    window = new MainWidget;
    panel = window->findChild<FileWidget *>();
    window->findChild<CompressionJob *>()->setProgram(QString(PARCELO_BUILD_DIR) + "/util/7z.exe");
}

void TestCompress::useStandIn(const QByteArray &body)
{
    QVERIFY(writeStandIn(temp->path(), "touch '" + QFile::encodeName(runMarker) + "'\n" + body));
    window->findChild<CompressionJob *>()->setProgram(QString(temp->path()) + "/util/7z.exe");
}

void TestCompress::setDestination(const QString &path)
{
    window->setSaveDialog([path](QWidget *, const QString &) { return path; });
    window->onBrowseDestinationFolderClicked();
}

void TestCompress::emptyListIsRefusedWithoutARun()
{
    useStandIn("echo 'Everything is Ok'");
    const qint32 before = banner();
    ModalAnswer answer;
    window->onCompressClicked();
    QCOMPARE(banner(), before);
    QCOMPARE(answer.text(), QStringLiteral("Please select at least one file to compress"));
    QCOMPARE(answer.buttons().size(), 1);
    QVERIFY(!QFileInfo::exists(runMarker));
    QVERIFY(!QFileInfo::exists(temp->path() + "/home/Documents/compressed_files"));
}

void TestCompress::existingArchivePathIsRefusedWithoutARun_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("file") << false;
    QTest::newRow("folder") << true;
}

void TestCompress::existingArchivePathIsRefusedWithoutARun()
{
    QFETCH(bool, folder);
    useStandIn("echo 'Everything is Ok'");
    const QString taken = temp->path() + "/out/taken.7z";
    QVERIFY(folder ? QDir().mkpath(taken) : writeFile(taken, "mine"));
    QVERIFY(writeFile(temp->path() + "/in/a.txt"));
    panel->addFile(temp->path() + "/in/a.txt");
    setDestination(taken);

    const qint32 before = banner();
    ModalAnswer answer;
    window->onCompressClicked();
    QCOMPARE(banner(), before);
    QCOMPARE(answer.text(), QStringLiteral("File with this name already exists"));
    QCOMPARE(answer.buttons().size(), 1);
    QVERIFY(!QFileInfo::exists(runMarker));
    QCOMPARE(panel->getFiles().size(), 1);
    QVERIFY(QFileInfo(temp->path() + "/home/Documents/compressed_files").isDir());
    if (!folder) {
        QFile kept(taken);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("mine"));
    }
}

void TestCompress::successReportsAndClearsTheList_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<bool>("opens");
    QTest::newRow("ok") << "OK" << false;
    QTest::newRow("open") << "Open" << true;
    // Enter presses the default button, which only acknowledges.
    QTest::newRow("enter") << "" << false;
}

void TestCompress::successReportsAndClearsTheList()
{
    QFETCH(QString, press);
    QFETCH(bool, opens);
    UrlCatcher desktop;
    QDesktopServices::setUrlHandler("file", &desktop, "open");

    QVERIFY(writeFile(temp->path() + "/in/a.txt"));
    QVERIFY(writeFile(temp->path() + "/in/folder/b.txt"));
    QVERIFY(WorkFolder::ensure());
    QVERIFY(writeFile(WorkFolder::path() + "/leftover.txt"));
    panel->addFile(temp->path() + "/in/a.txt");
    panel->addFile(temp->path() + "/in/folder");
    const QString archive = temp->path() + "/out/pack.7z";
    setDestination(archive);

    const qint32 before = banner();
    ModalAnswer answer(press.isEmpty() ? [](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); }
                                       : pressButton(press));
    window->onCompressClicked();
    QCOMPARE(banner(), before + 1);
    QDesktopServices::unsetUrlHandler("file");

    QCOMPARE(answer.text(), QStringLiteral("Compression finished successfully!"));
    QCOMPARE(answer.informativeText(), "7z file is saved in " + archive);
    QCOMPARE(answer.buttons().size(), 2);
    QVERIFY(answer.buttons().contains("Open"));
    QCOMPARE(entries(archive), QStringList({"a.txt", "folder", "folder/b.txt"}));
    QCOMPARE(desktop.urls, opens ? QList<QUrl>{QUrl::fromLocalFile(temp->path() + "/out")} : QList<QUrl>{});

    QVERIFY(panel->getFiles().isEmpty());
    QCOMPARE(window->findChild<QLabel *>("Size_info")->text(),
             QStringLiteral("Total size: <b>0.0 MB</b> of 500MB limit"));
    QVERIFY(window->findChild<QPushButton *>("Destination_path")->parentWidget()->isHidden());
    QCOMPARE(destination(), archive);
    QVERIFY(!QFileInfo::exists(WorkFolder::path()));

    // A second press finds the list empty.
    ModalAnswer second;
    window->onCompressClicked();
    QCOMPARE(second.text(), QStringLiteral("Please select at least one file to compress"));
}

void TestCompress::failureKeepsTheListAndLeavesNoArchive()
{
    QVERIFY(writeFile(temp->path() + "/in/a.txt"));
    QVERIFY(writeFile(temp->path() + "/in/b.txt"));
    panel->addFile(temp->path() + "/in/a.txt");
    panel->addFile(temp->path() + "/in/b.txt");
    const QString archive = temp->path() + "/out/pack.7z";
    setDestination(archive);

    // A file that is gone by "Compress" is named before any run.
    QVERIFY(QFile::rename(temp->path() + "/in/b.txt", temp->path() + "/away.txt"));
    qint32 before = banner();
    ModalAnswer gone;
    window->onCompressClicked();
    QCOMPARE(gone.text(), QStringLiteral("b.txt was moved or deleted after it was added; remove it from the list"));
    QCOMPARE(banner(), before);
    QVERIFY(!QFileInfo::exists(runMarker));
    QVERIFY(QFile::rename(temp->path() + "/away.txt", temp->path() + "/in/b.txt"));

    // An archiver that leaves a file out but reports success is caught by the check of its archive.
    useStandIn("if [ \"$1\" = a ]; then 7zz \"$@\" >/dev/null; 7zz d -tzip -y -- \"$archive\" b.txt >/dev/null\n"
               "echo 'Everything is Ok'; exit 0; fi\nexec 7zz \"$@\"");
    before = banner();
    ModalAnswer answer;
    window->onCompressClicked();
    QCOMPARE(banner(), before + 1);
    QCOMPARE(answer.text(), QStringLiteral("Compression failed!"));
    QVERIFY2(answer.informativeText().contains("missing b.txt"), qPrintable(answer.informativeText()));
    QCOMPARE(answer.buttons().size(), 1);
    QCOMPARE(QDir(temp->path() + "/out").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(panel->getFiles().size(), 2);
    QCOMPARE(destination(), archive);

    // With the real archiver, the same press succeeds: nothing stands in the way.
    window->findChild<CompressionJob *>()->setProgram(QString(PARCELO_BUILD_DIR) + "/util/7z.exe");
    ModalAnswer again;
    window->onCompressClicked();
    QCOMPARE(again.text(), QStringLiteral("Compression finished successfully!"));
}

void TestCompress::refusedWriteShowsTheAccessMessage()
{
    if (::geteuid() != 0)
        QSKIP("needs root, to run the archiver as another user");
    useStandIn("exec runuser -u nobody -- 7zz \"$@\"");
    QVERIFY(QFile::setPermissions(temp->path(), QFileDevice::Permissions(0x7755)));
    QVERIFY(writeFile(temp->path() + "/in/a.txt"));
    QVERIFY(QFile::setPermissions(temp->path() + "/in", QFileDevice::Permissions(0x7755)));
    QVERIFY(QFile::setPermissions(temp->path() + "/in/a.txt", QFileDevice::Permissions(0x6444)));
    panel->addFile(temp->path() + "/in/a.txt");
    const QString archive = temp->path() + "/out/pack.7z";
    setDestination(archive);

    ModalAnswer answer;
    window->onCompressClicked();
    QCOMPARE(answer.text(), QStringLiteral("You are unable to save the file in the specified destination. To resolve "
                                           "this, kindly choose another folder for the archive."));
    QCOMPARE(answer.buttons().size(), 1);
    QVERIFY(!QFileInfo::exists(archive));
    QCOMPARE(panel->getFiles().size(), 1);
}

void TestCompress::filesArePassedInPathOrder()
{
    const QString argsFile = temp->path() + "/args";
    useStandIn("[ \"$1\" = a ] && for a in \"$@\"; do echo \"$a\"; done > '" + QFile::encodeName(argsFile) +
               "'\nexec 7zz \"$@\"");
    QVERIFY(writeFile(temp->path() + "/in/z.txt"));
    QVERIFY(writeFile(temp->path() + "/in/a.txt"));
    panel->addFile(temp->path() + "/in/z.txt");
    panel->addFile(temp->path() + "/in/a.txt");
    const QString archive = temp->path() + "/out/pack.7z";
    setDestination(archive);

    ModalAnswer answer;
    window->onCompressClicked();
    QCOMPARE(answer.text(), QStringLiteral("Compression finished successfully!"));
    QFile args(argsFile);
    QVERIFY(args.open(QIODevice::ReadOnly));
    const QStringList passed = QString::fromUtf8(args.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(passed.mid(passed.indexOf("--") + 2),
             QStringList({temp->path() + "/in/a.txt", temp->path() + "/in/z.txt"}));
}

void TestCompress::windowTakesNoInputDuringARun()
{
    useStandIn("i=0\nwhile [ $i -lt 10 ]; do echo ' 1%'; sleep 0.1; i=$((i + 1)); done\nexec 7zz \"$@\"");
    QVERIFY(writeFile(temp->path() + "/in/a.txt"));
    panel->addFile(temp->path() + "/in/a.txt");
    setDestination(temp->path() + "/out/pack.7z");
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    int browsed = 0;
    window->setOpenDialog([&](QWidget *) {
        ++browsed;
        return QStringList();
    });
    auto *browse = window->findChild<QPushButton *>("Browse_for_files");
    QTimer::singleShot(300, browse, [browse] { QTest::mouseClick(browse, Qt::LeftButton); });
    ModalAnswer answer;
    window->onCompressClicked();
    QCOMPARE(answer.text(), QStringLiteral("Compression finished successfully!"));
    QCOMPARE(browsed, 0);
    window->close();
}

void TestCompress::cancelStopsTheArchiverAndLeavesNothing()
{
    useStandIn("while true; do echo ' 40% 1 + a.txt'; sleep 0.1; done");
    QVERIFY(writeFile(temp->path() + "/in/a.txt"));
    panel->addFile(temp->path() + "/in/a.txt");
    setDestination(temp->path() + "/out/pack.7z");

    int shown = -1;
    QString label;
    ModalAnswer answer(
        [&](QWidget *modal) {
            auto *dialog = qobject_cast<QProgressDialog *>(modal);
            QTRY_VERIFY_WITH_TIMEOUT(dialog->value() > 0, 30000);
            shown = dialog->value();
            label = dialog->labelText();
            pressButton("Cancel")(modal);
        },
        ModalAnswer::Progress);
    window->onCompressClicked();
    QVERIFY(answer.seen());
    QCOMPARE(shown, 40);
    QCOMPARE(label, QStringLiteral("Packing 1 file, 1 KB..."));
    QVERIFY2(!ArchiveTools::processRunning(temp->path()), "the archiver outlived Cancel");
    QCOMPARE(QDir(temp->path() + "/out").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(panel->getFiles().size(), 1);
}

void TestCompress::progressSaysWhatIsPacked_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("one small file") << 1 << qint64(1) << "Packing 1 file, 1 KB...";
    QTest::newRow("just under a megabyte") << 2 << qint64(1048575) << "Packing 2 files, 1024 KB...";
    QTest::newRow("megabytes, rounded") << 3 << qint64(149946368) << "Packing 3 files, 143 MB...";
}

void TestCompress::progressSaysWhatIsPacked()
{
    QFETCH(int, files);
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(CompressionJob::progressText(files, bytes), text);
}

QTEST_MAIN(TestCompress)
#include "tst_compress.moc"
