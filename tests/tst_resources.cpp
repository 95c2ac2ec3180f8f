// SPDX-License-Identifier: MIT
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTest>

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void imageHasItsSize_data();
    void imageHasItsSize();
    void iconIsOneImageOf95x104();
    void styleSheetHasItsRulesInOrder();
};

void TestResources::imageHasItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("alpha");
    QTest::newRow("background") << ":/qrc/background.png" << QByteArray("png") << QSize(980, 777) << false;
    QTest::newRow("close") << ":/qrc/close.png" << QByteArray("png") << QSize(778, 778) << true;
    QTest::newRow("minimize") << ":/qrc/minimize.png" << QByteArray("png") << QSize(32, 32) << true;
    QTest::newRow("help") << ":/qrc/help.png" << QByteArray("png") << QSize(32, 32) << true;
    QTest::newRow("contact") << ":/qrc/contact-us.png" << QByteArray("png") << QSize(90, 90) << true;
    QTest::newRow("logo") << ":/qrc/file-all.svg" << QByteArray("svg") << QSize(30, 33) << true;
    QTest::newRow("pdf") << ":/qrc/file-pdf.svg" << QByteArray("svg") << QSize(22, 30) << true;
    QTest::newRow("image") << ":/qrc/file-image.svg" << QByteArray("svg") << QSize(22, 30) << true;
    QTest::newRow("word") << ":/qrc/file-word.svg" << QByteArray("svg") << QSize(22, 30) << true;
    QTest::newRow("booking") << ":/adv/booking.png" << QByteArray("png") << QSize(128, 128) << true;
    QTest::newRow("expedia") << ":/adv/expedia.png" << QByteArray("png") << QSize(128, 130) << true;
    QTest::newRow("tripadvisor") << ":/adv/tripadvisor.png" << QByteArray("png") << QSize(128, 128) << true;
    QTest::newRow("walgreens") << ":/adv/walgreens.png" << QByteArray("png") << QSize(130, 130) << true;
}

void TestResources::imageHasItsSize()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFETCH(bool, alpha);
    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QCOMPARE(image.hasAlphaChannel(), alpha);
}

void TestResources::iconIsOneImageOf95x104()
{
    QImageReader reader(QStringLiteral(":/qrc/icon.ico"));
    QCOMPARE(reader.imageCount(), 1);
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(95, 104));
    QCOMPARE(image.depth(), 32);
    QVERIFY(!QIcon(QStringLiteral(":/qrc/icon.ico")).isNull());
}

void TestResources::styleSheetHasItsRulesInOrder()
{
    QFile file(QStringLiteral(":/qrc/style.qss"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));

    const QString sheet = QString::fromLatin1(bytes);
    QStringList selectors;
    int declarations = 0;
    const QRegularExpression rule(QStringLiteral("([^{}]+)\\{([^}]*)\\}"));
    for (const QRegularExpressionMatch &m : rule.globalMatch(sheet)) {
        selectors << m.captured(1).trimmed();
        // The rules added after the sheet's own are counted on their own.
        const bool own = selectors.size() <= 24;
        const QStringList lines = m.captured(2).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            if (line.trimmed().isEmpty())
                continue;
            QVERIFY2(line.trimmed().endsWith(QLatin1Char(';')) && line.count(QLatin1Char(';')) == 1, qPrintable(line));
            declarations += own ? 1 : 0;
        }
    }
    const QStringList expected{"#Compress",
                               "#Compress:hover",
                               "#Compress:pressed",
                               "#Cancel",
                               "#Cancel:hover",
                               "#Cancel:pressed",
                               "#Browse_for_files",
                               "#Destination_path",
                               "#Destination_path:hover",
                               "#Destination_name",
                               "#Size_info",
                               "#Drag_drop_text",
                               "MainWidget #SingleFileWidget",
                               "SingleFileWidget",
                               "FileWidget",
                               "HeaderWidget",
                               "QMessageBox QLabel",
                               "QMessageBox QPushButton",
                               "MainWidget",
                               "Parcelo",
                               "QToolButton",
                               "HelpWidget",
                               "#HelpTitleLabel",
                               "#HelpStandardLabel"};
    QCOMPARE(selectors.mid(0, expected.size()), expected);
    QCOMPARE(declarations, 147);
    // Focus marks and the list's scroll bar, added after the sheet's own rules.
    QCOMPARE(selectors.mid(expected.size()),
             QStringList({"#Compress:focus", "#Cancel:focus, #Browse_for_files:focus", "FileWidget QScrollBar:vertical",
                          "FileWidget QScrollBar::handle:vertical", "FileWidget QScrollBar::handle:vertical:hover",
                          "FileWidget QScrollBar::add-line:vertical, FileWidget QScrollBar::sub-line:vertical",
                          "FileWidget QScrollBar::add-page:vertical, FileWidget QScrollBar::sub-page:vertical"}));
    QVERIFY(sheet.contains(QStringLiteral("color: #5272BA;\r\n    font: 14px;\r\n")));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
