// SPDX-License-Identifier: MIT
#include "advertising/advdata.h"
#include "advertising/advwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestBanner : public QObject
{
    Q_OBJECT
public slots:
    void openUrl(const QUrl &url) { opened << url; }

private slots:
    void cleanup() { QTRY_COMPARE(TestSupport::visibleTopLevels(), 0); }

    void rotation_data()
    {
        QTest::addColumn<qint32>("draw");
        QTest::addColumn<QString>("partners");
        QTest::newRow("0") << 0 << "booking expedia tripadvisor walgreens booking";
        QTest::newRow("5") << 5 << "expedia tripadvisor walgreens booking expedia";
        // Through the top the counter wraps to the same place in the rotation, and never below zero.
        QTest::newRow("2^31 - 3") << 0x7ffffffd << "expedia tripadvisor walgreens booking expedia";
    }

    void rotation()
    {
        QFETCH(qint32, draw);
        AdvData data(draw);
        QStringList shown;
        for (int step = 0; step < 5; ++step)
            shown << data.takeNext().first.mid(6).chopped(4);
        QTEST(shown.join(' '), "partners");
        QVERIFY(data.getNextAdvIndex() >= 0);
    }

    void countdownThenCloseOnEveryRun()
    {
        AdvWidget adv;
        QLabel *text = adv.findChildren<QLabel *>().constLast(); // the picture's label joins the dialog first
        auto *close = adv.findChild<QPushButton *>();
        for (int run = 0; run < 2; ++run) {
            adv.showWithCountdown(10);
            QCOMPARE(QApplication::activeModalWidget(), &adv);
            for (int count : {10, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}) {
                QCOMPARE(text->text(), QStringLiteral("Please wait for %1 seconds...").arg(count));
                QVERIFY(close->isHidden());
                adv.updateTimer();
            }
            QVERIFY(close->isVisible() && text->isHidden());
            QTest::mouseClick(close, Qt::LeftButton);
            QVERIFY(!adv.isVisible());
        }
    }

    void leftClickOnThePictureOpensThePage()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        AdvData::setShared(std::make_shared<AdvData>(2));
        AdvWidget banner(false);
        banner.show();
        const QPoint middle = banner.findChild<QLabel *>()->geometry().center();
        QTest::mouseClick(&banner, Qt::RightButton, {}, middle); // opens nothing
        QTest::mouseClick(&banner, Qt::LeftButton, {}, middle);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(opened, QList<QUrl>{QUrl(AdvData::shared()->getAdvertisements().value(":/adv/tripadvisor.png"))});
    }

private:
    QList<QUrl> opened;
};

QTEST_MAIN(TestBanner)
#include "tst_banner.moc"
