#include "app/settings_record.h"

#include <algorithm>
#include <limits>

namespace {
std::uint32_t readU32(const std::array<std::uint8_t, SettingsRecord::kSize> &b, int at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16
           | std::uint32_t(b[at + 3]) << 24;
}

void writeU32(std::array<std::uint8_t, SettingsRecord::kSize> &b, int at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(value >> (8 * i));
}

std::int32_t readI32(const std::array<std::uint8_t, SettingsRecord::kSize> &b, int at)
{
    return static_cast<std::int32_t>(readU32(b, at));
}
} // namespace

QRect SettingsRecord::restoredBounds(const QSize &desktop) const
{
    // All arithmetic in 64 bits: right - left alone can need 33.
    const qint64 left = readI32(bytes, 0);
    const qint64 top = readI32(bytes, 4);
    const qint64 width = std::clamp<qint64>(readI32(bytes, 8) - left, 0, std::max(desktop.width(), 0));
    const qint64 height = std::clamp<qint64>(readI32(bytes, 12) - top, 0, std::max(desktop.height(), 0));
    // Qt keeps widget coordinates within +-(2^24 - 1); staying inside leaves
    // every later sum of position, size and frame far from overflow.
    static constexpr qint64 kCoordinateLimit = (1 << 24) - 1;
    auto position = [](qint64 v) { return int(std::clamp<qint64>(v, -kCoordinateLimit, kCoordinateLimit)); };
    return {position(left), position(top), int(width), int(height)};
}

void SettingsRecord::setBounds(const QRect &bounds)
{
    // The record holds right and bottom in 32 bits, wrapped as stored.
    writeU32(bytes, 0, std::uint32_t(bounds.left()));
    writeU32(bytes, 4, std::uint32_t(bounds.top()));
    writeU32(bytes, 8, std::uint32_t(qint64(bounds.left()) + bounds.width()));
    writeU32(bytes, 12, std::uint32_t(qint64(bounds.top()) + bounds.height()));
}

std::uint32_t SettingsRecord::feedInterval() const
{
    return readU32(bytes, 16);
}

void SettingsRecord::setFeedInterval(std::uint32_t milliseconds)
{
    writeU32(bytes, 16, milliseconds);
}

void SettingsRecord::setFlags(bool showHints, bool showText, bool showUrl)
{
    bytes[21] = showHints ? 1 : 0;
    bytes[22] = showText ? 1 : 0;
    bytes[23] = showUrl ? 1 : 0;
}

void SettingsRecord::load(const QByteArray &stored)
{
    const qsizetype n = std::min<qsizetype>(stored.size(), kSize);
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = std::uint8_t(stored[i]);
}

QByteArray SettingsRecord::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), kSize);
}

int feedIntervalFromStored(std::uint32_t stored)
{
    if (stored == 0)
        return 2000;
    return int(std::min<std::uint32_t>(stored, std::numeric_limits<int>::max()));
}
