// SPDX-License-Identifier: MIT
#include "chrome/helpwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTest>

class TestHelpWidget : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
        qApp->setStyleSheet(QString());
    }

    void showsTitleAndNineLineText()
    {
        HelpWidget w;
        QLabel *title = label(w, "HelpTitleLabel");
        QLabel *text = label(w, "HelpStandardLabel");
        QVERIFY(title && text);
        QCOMPARE(title->text(), QStringLiteral("How to Use the File Compression Tool"));

        const QString help = text->text();
        QCOMPARE(help.size(), 708);
        QVERIFY(!help.contains(QLatin1Char('\r')));
        const QStringList lines = help.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 9);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i].startsWith(QLatin1Char('\t')), i == 1 || i == 2);
        QVERIFY(lines[1].contains(QLatin1String("\"Browse Files\"")));
        QVERIFY(lines[6].contains(QLatin1String("\"Compress\"")));
    }

    void styleSheetGivesBackgroundAndFonts()
    {
        QFile sheet(QStringLiteral(":/qrc/style.qss"));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
        HelpWidget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(label(w, "HelpTitleLabel")->font().pixelSize(), 26);
        QCOMPARE(label(w, "HelpStandardLabel")->font().pixelSize(), 16);

        // Where the text leaves it uncovered, the window's background picture shows.
        const QImage shown = w.grab().toImage();
        const QImage background(QStringLiteral(":/qrc/background.png"));
        const QPoint bottomRight(w.width() - 3, w.height() - 3);
        for (const QPoint p : {QPoint(2, 2), QPoint(2, w.height() - 3), bottomRight})
            QCOMPARE(QColor(shown.pixel(p)), QColor(background.pixel(p)));
        QVERIFY(QColor(background.pixel(bottomRight)) != w.palette().color(QPalette::Window));
    }

private:
    static QLabel *label(HelpWidget &w, const char *name) { return w.findChild<QLabel *>(QLatin1String(name)); }
};

QTEST_MAIN(TestHelpWidget)
#include "tst_helpwidget.moc"
