// SPDX-License-Identifier: MIT
#pragma once

#include <QMap>
#include <QString>

#include <memory>
#include <utility>

// The partner table: picture resource path to the partner's landing page, in path order, and the
// rotation counter that picks the next partner. One object serves the whole program; where the
// rotation starts is drawn at random when it is made.
class AdvData
{
public:
    // Starts the rotation at a random draw.
    AdvData();
    // Starts the rotation at a given draw, so a known order can be checked.
    explicit AdvData(qint32 draw);

    // One uniform draw from 0 to 5 with a freshly seeded Mersenne Twister. Six values over four
    // partners, so the first two partners start twice as often as the other two.
    static qint32 randomDraw();

    // The program-wide table, made on first use and kept until the program ends.
    static std::shared_ptr<AdvData> shared();
    // Replaces the program-wide table; null makes the next use draw a new one.
    static void setShared(std::shared_ptr<AdvData> data);

    const QMap<QString, QString> &getAdvertisements() const { return advertisements; }
    qint32 getNextAdvIndex() const { return nextAdvIndex; }

    // The entry the counter points at (picture path, link), stepping the counter on by one.
    std::pair<QString, QString> takeNext();

private:
    QMap<QString, QString> advertisements;
    qint32 nextAdvIndex = 0;
};
