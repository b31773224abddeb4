#include "track/playback_interval.h"

#include "startup/numeric.h"

namespace kestrova {

int16_t PlaybackIntervalSeconds(QStringView text) {
    const double seconds = Round(Val(text));
    if (!(seconds >= kShortestPlaybackInterval))
        return kShortestPlaybackInterval;
    if (seconds > kLongestPlaybackInterval)
        return kLongestPlaybackInterval;
    return static_cast<int16_t>(seconds);
}

} // namespace kestrova
