#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>

// The 28-byte window settings record "Serimo_099", little-endian:
//   0 left, 4 top, 8 right (left + width), 12 bottom (top + height): int32
//  16 feed interval in ms: uint32
//  20 reserved, 21 show hints, 22 show text, 23 show URL: bytes
//  24..27 reserved
// Reserved bytes are kept as read and written back unchanged.
struct SettingsRecord
{
    static constexpr int kSize = 28;
    std::array<std::uint8_t, kSize> bytes{};

    // The stored bounds as the window can take them: a size beyond the
    // desktop (or below nothing) is limited to it, and a position beyond
    // the widget coordinate range is brought to its edge; otherwise the
    // bounds are kept as stored, off the screen included.
    QRect restoredBounds(const QSize &desktop) const;
    void setBounds(const QRect &bounds);
    std::uint32_t feedInterval() const;
    void setFeedInterval(std::uint32_t milliseconds);
    bool showHints() const { return bytes[21] != 0; }
    bool showText() const { return bytes[22] != 0; }
    bool showUrl() const { return bytes[23] != 0; }
    void setFlags(bool showHints, bool showText, bool showUrl);

    // Fills the leading bytes from a stored value of at most kSize bytes;
    // the rest keep what they held.
    void load(const QByteArray &stored);
    QByteArray toByteArray() const;
};

// The timer interval a stored feed delay gives: 0 would make the feed spin
// without pause, so it becomes 2000; values beyond a signed 32-bit interval
// are clamped to its maximum.
int feedIntervalFromStored(std::uint32_t stored);
