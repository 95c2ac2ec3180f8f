// SPDX-License-Identifier: MIT
#include "advertising/advdata.h"

#include <iterator>
#include <limits>
#include <random>

namespace {
std::shared_ptr<AdvData> &sharedData()
{
    static std::shared_ptr<AdvData> data;
    return data;
}
} // namespace

AdvData::AdvData() : AdvData(randomDraw()) {}

AdvData::AdvData(qint32 draw) : nextAdvIndex(draw)
{
    // The partners' own public landing pages, with no tracking parameters we could not vouch for.
    advertisements.insert(QStringLiteral(":/adv/booking.png"), QStringLiteral("https://www.booking.com/"));
    advertisements.insert(QStringLiteral(":/adv/expedia.png"), QStringLiteral("https://www.expedia.com/"));
    advertisements.insert(QStringLiteral(":/adv/tripadvisor.png"), QStringLiteral("https://www.tripadvisor.com/"));
    advertisements.insert(QStringLiteral(":/adv/walgreens.png"), QStringLiteral("https://www.walgreens.com/"));
}

qint32 AdvData::randomDraw()
{
    std::random_device device;
    std::mt19937 engine(device());
    return std::uniform_int_distribution<qint32>(0, 5)(engine);
}

std::shared_ptr<AdvData> AdvData::shared()
{
    std::shared_ptr<AdvData> &data = sharedData();
    if (!data)
        data = std::make_shared<AdvData>();
    return data;
}

void AdvData::setShared(std::shared_ptr<AdvData> data)
{
    sharedData() = std::move(data);
}

std::pair<QString, QString> AdvData::takeNext()
{
    const qint32 count = qint32(advertisements.size());
    const qint32 position = (nextAdvIndex % count + count) % count;
    // The counter would overflow after 2^31 steps; it wraps to the same place in the rotation.
    if (nextAdvIndex < std::numeric_limits<qint32>::max())
        ++nextAdvIndex;
    else
        nextAdvIndex = (position + 1) % count;
    const auto entry = std::next(advertisements.cbegin(), position);
    return {entry.key(), entry.value()};
}
