// SPDX-License-Identifier: MIT
#include "advertising/advdata.h"

#include <QImage>
#include <QTest>
#include <QUrl>

#include <limits>

class TestAdvData : public QObject
{
    Q_OBJECT
private slots:
    void tableHoldsFourPartnersInPathOrder()
    {
        const QMap<QString, QString> table = AdvData(0).getAdvertisements();
        QCOMPARE(table.keys(), QStringList({":/adv/booking.png", ":/adv/expedia.png", ":/adv/tripadvisor.png",
                                            ":/adv/walgreens.png"}));
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            QVERIFY2(!QImage(it.key()).isNull(), qPrintable(it.key()));
            // Each link is the partner's own page over https, with nothing appended we cannot vouch for.
            const QUrl link(it.value(), QUrl::StrictMode);
            QVERIFY2(link.isValid() && link.scheme() == QLatin1String("https"), qPrintable(it.value()));
            QVERIFY2(!link.hasQuery() && !link.hasFragment(), qPrintable(it.value()));
            QVERIFY2(link.host().contains(partner(it.key())), qPrintable(it.value()));
        }
    }

    void firstPartnerFollowsDraw_data()
    {
        QTest::addColumn<int>("draw");
        QTest::addColumn<QString>("first");
        const QStringList order{"booking", "expedia", "tripadvisor", "walgreens", "booking", "expedia"};
        for (int draw = 0; draw < 6; ++draw)
            QTest::addRow("%d", draw) << draw << order.at(draw);
    }

    // The first partner is the draw's position in the table; the rest follow in table order.
    void firstPartnerFollowsDraw()
    {
        QFETCH(int, draw);
        QFETCH(QString, first);
        AdvData data(draw);
        const QStringList table = data.getAdvertisements().keys();
        for (int step = 0; step < 5; ++step) {
            const auto [picture, link] = data.takeNext();
            QCOMPARE(picture, table.at((table.indexOf(QStringLiteral(":/adv/%1.png").arg(first)) + step) % 4));
            QCOMPARE(link, data.getAdvertisements().value(picture));
        }
    }

    void counterWrapsAtTheTopWithoutBreakingTheRotation()
    {
        AdvData data(std::numeric_limits<qint32>::max() - 2);
        QStringList shown;
        for (int i = 0; i < 6; ++i) {
            shown << partner(data.takeNext().first);
            QVERIFY2(data.getNextAdvIndex() >= 0, qPrintable(QString::number(data.getNextAdvIndex())));
        }
        // top - 2 is position 1; the rotation goes on through the top as if the counter were unbounded.
        QCOMPARE(shown, QStringList({"expedia", "tripadvisor", "walgreens", "booking", "expedia", "tripadvisor"}));
    }

    void firstPartnersComeUpTwiceAsOften()
    {
        QMap<QString, int> first;
        for (int run = 0; run < 6000; ++run)
            ++first[partner(AdvData().takeNext().first)];
        // Expected 2000, 2000, 1000, 1000. The bounds are over eight standard deviations wide, yet an
        // even spread over four partners (1500 each) falls outside them.
        const QMap<QString, QPair<int, int>> bounds{{"booking", {1700, 2300}},
                                                    {"expedia", {1700, 2300}},
                                                    {"tripadvisor", {750, 1250}},
                                                    {"walgreens", {750, 1250}}};
        for (auto it = bounds.cbegin(); it != bounds.cend(); ++it) {
            const int count = first.value(it.key());
            QVERIFY2(count > it->first && count < it->second, qPrintable(it.key() + ": " + QString::number(count)));
        }
    }

    void sharedTableIsMadeOnceAndKept()
    {
        AdvData::setShared(nullptr);
        const std::shared_ptr<AdvData> first = AdvData::shared();
        QVERIFY(first && first->getNextAdvIndex() >= 0 && first->getNextAdvIndex() <= 5);
        QCOMPARE(AdvData::shared(), first);
        AdvData::setShared(nullptr);
    }

private:
    static QString partner(const QString &picture) { return picture.mid(6).chopped(4); }
};

QTEST_GUILESS_MAIN(TestAdvData)
#include "tst_advdata.moc"
