#pragma once

#include <QStringView>
#include <cstdint>

// The playback interval: how many seconds each track row is shown for.
namespace kestrova {

inline constexpr int16_t kShortestPlaybackInterval = 1;
inline constexpr int16_t kLongestPlaybackInterval = 10;

// The interval that the interval box's edit handler keeps: the box's leading number rounded (a half to
// the even number) and held to 1 to 10 seconds, also when it is far too large for a number of seconds.
int16_t PlaybackIntervalSeconds(QStringView text);

} // namespace kestrova
