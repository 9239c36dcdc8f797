#include "kvnfcpx/ClipTime.h"

#include "HashCombine.h"

#include <koltutils/Describe.h>
#include <ostream>

namespace kvnfcpx {

namespace {

std::string secondsText(const timecode::CMTime& time) {
    return koltutils::describe(time.seconds()) + "s";
}

} // namespace

timecode::CMTime ClipTime::TimeRange::end() const {
    return start + duration;
}

bool ClipTime::TimeRange::contains(const timecode::CMTime& time) const {
    return start <= time && time < end();
}

timecode::CMTime ClipTime::effectiveAudioStart() const {
    return audioStart != timecode::CMTime::zero ? audioStart : start;
}

timecode::CMTime ClipTime::effectiveAudioDuration() const {
    return audioDuration != timecode::CMTime::zero ? audioDuration : duration;
}

timecode::CMTime ClipTime::audioStartOffset() const {
    if (audioStart != timecode::CMTime::zero && audioStart > start) {
        return audioStart - start;
    }
    return timecode::CMTime::zero;
}

std::string ClipTime::description() const {
    const TimeRange range = timeRange();
    return "ClipTime(" + std::string(koltutils::rawValue(clipItem)) +
           (isValid ? ", valid" : ", invalid") + ", start " + secondsText(start) + ", offset " +
           secondsText(offset) + ", duration " + secondsText(duration) + ", audioStart " +
           secondsText(audioStart) + ", audioDuration " + secondsText(audioDuration) +
           ", timeRange " + secondsText(range.start) + "..<" + secondsText(range.end()) + ")";
}

std::ostream& operator<<(std::ostream& stream, const ClipTime& clipTime) {
    return stream << clipTime.description();
}

} // namespace kvnfcpx

std::size_t
std::hash<kvnfcpx::ClipTime>::operator()(const kvnfcpx::ClipTime& clipTime) const noexcept {
    using kvnfcpx::detail::hashCombine;
    std::size_t seed = 0;
    hashCombine(seed, clipTime.isValid);
    hashCombine(seed, clipTime.start);
    hashCombine(seed, clipTime.offset);
    hashCombine(seed, clipTime.duration);
    hashCombine(seed, clipTime.audioStart);
    hashCombine(seed, clipTime.audioDuration);
    hashCombine(seed, clipTime.clipItem);
    return seed;
}
