// SPDX-License-Identifier: MIT
#include "advertising/advdata.h"
#include "advertising/advwidget.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Stands behind the banner, as the main window does, and counts the presses that reach it.
class PressCounter : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

// Places a banner as the main window does: made with the window as parent, then adopted by the
// layout of a row inside it, which turns it from a dialog into a plain child widget.
AdvWidget *embedBanner(QWidget &window)
{
    auto *adv = new AdvWidget(false, &window);
    auto *row = new QWidget;
    (new QHBoxLayout(row))->addWidget(adv, 0, Qt::AlignLeft);
    (new QVBoxLayout(&window))->addWidget(row);
    return adv;
}

QLabel *picture(AdvWidget &adv)
{
    for (QLabel *label : adv.findChildren<QLabel *>())
        if (!label->pixmap().isNull())
            return label;
    return nullptr;
}

QLabel *countdownText(AdvWidget &adv)
{
    for (QLabel *label : adv.findChildren<QLabel *>())
        if (label != picture(adv))
            return label;
    return nullptr;
}

QString partnerShown(AdvWidget &adv)
{
    const QImage shown = picture(adv) ? picture(adv)->pixmap().toImage() : QImage();
    for (const char *name : {"booking", "expedia", "tripadvisor", "walgreens"})
        if (QPixmap(QStringLiteral(":/adv/%1.png").arg(QLatin1String(name))).toImage() == shown)
            return QLatin1String(name);
    return QStringLiteral("unknown picture");
}

} // namespace

class TestAdvWidget : public QObject
{
    Q_OBJECT
public slots:
    void openUrl(const QUrl &url) { opened << url; }

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl"); }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        AdvData::setShared(nullptr);
    }
    void cleanup()
    {
        opened.clear();
        QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // Every advertisement of every widget steps the one rotation, which starts anywhere but never
    // shows the same partner twice in a row. Moving the banner on never opens a window, starts a
    // timer or blocks input.
    void allWidgetsShareOneRotation()
    {
        const QStringList order{"booking", "expedia", "tripadvisor", "walgreens"};
        for (int run = 0; run < 10; ++run) {
            AdvData::setShared(nullptr);
            AdvWidget banner(false);
            AdvWidget countdown(true);
            const int start = order.indexOf(partnerShown(banner));
            QVERIFY(start >= 0);
            QCOMPARE(partnerShown(countdown), order.at((start + 1) % 4));
            for (int step = 2; step < 7; ++step) {
                banner.showWithCountdown(10);
                banner.updateTimer();
                QCOMPARE(partnerShown(banner), order.at((start + step) % 4));
                QVERIFY(!banner.isVisible());
                QCOMPARE(banner.windowModality(), Qt::NonModal);
                QCOMPARE(TestSupport::visibleTopLevels(), 0);
            }
            QVERIFY(banner.findChildren<QTimer *>().isEmpty() && banner.findChildren<QPushButton *>().isEmpty());
        }
    }

    void reloadsKeepEachPartInTheLayoutOnce()
    {
        AdvWidget banner(false);
        AdvWidget countdown(true);
        for (int i = 0; i < 6; ++i) {
            banner.showWithCountdown(10);
            countdown.showWithCountdown(10);
        }
        countdown.hide();
        const auto partsOf = [](AdvWidget &adv) {
            QList<QWidget *> parts;
            for (int i = 0; i < adv.layout()->count(); ++i)
                parts << adv.layout()->itemAt(i)->widget();
            return parts;
        };
        QCOMPARE(partsOf(banner), QList<QWidget *>{picture(banner)});
        QCOMPARE(partsOf(countdown), QList<QWidget *>({picture(countdown), countdown.findChild<QPushButton *>(),
                                                       countdownText(countdown)}));
    }

    void click_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("opens");
        QTest::newRow("left on the middle") << Qt::LeftButton << "middle" << true;
        QTest::newRow("left on the top-left corner") << Qt::LeftButton << "top-left" << true;
        QTest::newRow("left on the bottom-right corner") << Qt::LeftButton << "bottom-right" << true;
        QTest::newRow("right on the middle") << Qt::RightButton << "middle" << false;
        QTest::newRow("middle button on the middle") << Qt::MiddleButton << "middle" << false;
        QTest::newRow("left on the margin below") << Qt::LeftButton << "margin" << false;
    }

    void click()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, where);
        QFETCH(bool, opens);
        AdvData::setShared(std::make_shared<AdvData>(2));
        PressCounter window;
        AdvWidget *adv = embedBanner(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QRect frame = picture(*adv)->geometry();
        const QPoint point = where == "middle"         ? frame.center()
                             : where == "top-left"     ? frame.topLeft()
                             : where == "bottom-right" ? frame.bottomRight()
                                                       : QPoint(frame.center().x(), frame.bottom() + 10);
        QVERIFY(adv->rect().contains(point));
        // Pressed where the user would: on the picture the label gets it first and passes it on.
        QWidget *target = adv->childAt(point) ? adv->childAt(point) : adv;
        QTest::mouseClick(target, button, {}, target->mapFrom(adv, point));

        QCOMPARE(opened.size(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(opened.first(), QUrl(AdvData::shared()->getAdvertisements().value(":/adv/tripadvisor.png")));
        QCOMPARE(window.presses, 0);
    }

    void countdownTextsThenClose()
    {
        AdvWidget adv;
        QLabel *text = countdownText(adv);
        auto *close = adv.findChild<QPushButton *>();
        auto *timer = adv.findChild<QTimer *>();
        QVERIFY(text && close && timer);
        for (int round = 0; round < 2; ++round) {
            adv.showWithCountdown(10);
            QVERIFY(adv.isVisible());
            QCOMPARE(QApplication::activeModalWidget(), &adv);
            QVERIFY(timer->isActive());
            // The text after showing and after each of the first ten ticks.
            for (int count : {10, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}) {
                QCOMPARE(text->text(), QStringLiteral("Please wait for %1 seconds...").arg(count));
                QVERIFY(text->isVisible() && close->isHidden());
                adv.updateTimer();
            }
            QVERIFY(text->isHidden() && close->isVisible() && !timer->isActive());
            QTest::mouseClick(close, Qt::LeftButton);
            QVERIFY(!adv.isVisible());
        }
        // The timer drives the same ticks.
        adv.showWithCountdown(2);
        timer->setInterval(1);
        QTRY_VERIFY(close->isVisible());
        adv.hide();
    }

    void mainWindowShowsBannerBottomLeft()
    {
        AdvData::setShared(std::make_shared<AdvData>(0));
        MainWidget w;
        w.resize(980, 660);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *adv = w.findChild<AdvWidget *>(QStringLiteral("Adv_widget"));
        QVERIFY(adv && !adv->isWindow() && adv->isVisible());

        // First in the bottom row, left-aligned, before "Cancel" and "Compress".
        auto *row = qobject_cast<QHBoxLayout *>(adv->parentWidget()->layout());
        QVERIFY(row && row->indexOf(adv) == 0);
        QCOMPARE(row->itemAt(0)->alignment(), Qt::AlignLeft);
        const int cancel = row->indexOf(w.findChild<QPushButton *>(QStringLiteral("Cancel")));
        QVERIFY(cancel > 0 && row->indexOf(w.findChild<QPushButton *>(QStringLiteral("Compress"))) > cancel);
        QVERIFY(adv->mapTo(&w, QPoint(0, 0)).y() > w.height() / 2);

        // The picture is painted where the banner is: compare an opaque spot of the card with the window.
        const QImage card(QStringLiteral(":/adv/booking.png"));
        const QPoint spot(10, card.height() / 2);
        QCOMPARE(qAlpha(card.pixel(spot)), 255);
        const QImage shown = w.grab().toImage();
        QCOMPARE(QColor(shown.pixel(picture(*adv)->mapTo(&w, spot) * shown.devicePixelRatio())),
                 QColor(card.pixel(spot)));

        // After a run the job moves the banner on, in place and without a window of its own.
        adv->showWithCountdown(10);
        QCOMPARE(partnerShown(*adv), QStringLiteral("expedia"));
        QCOMPARE(TestSupport::visibleTopLevels(), 1);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

private:
    QList<QUrl> opened;
};

QTEST_MAIN(TestAdvWidget)
#include "tst_advwidget.moc"
