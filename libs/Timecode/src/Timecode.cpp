#include "timecode/Timecode.h"

#include "HashCombine.h"
#include "TimecodeCounting.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace timecode {

namespace {

using detail::countingOf;
using detail::RateCounting;
using detail::TimecodeWideInt;

// How far a real time is moved away from zero before it is cut to frames, so that a time that
// is a rounding error short of a frame boundary lands on that frame.
constexpr double realTimeToleranceFrames = 0.00001;

std::int64_t basePerFrame(const TimecodeProperties& properties) {
    return subFramesPerFrame(properties.subFramesBase);
}

// A position known to lie within the span, so its components are valid.
Timecode atPositionInSpan(TimecodeWideInt total, const TimecodeProperties& properties) {
    const std::int64_t base = basePerFrame(properties);
    return Timecode(detail::componentsOf(total / base, static_cast<std::int64_t>(total % base),
                                         countingOf(properties.frameRate)),
                    properties);
}

// The one place where a rule decides what becomes of components that are out of range.
// `total` is the same position in sub-frames, which the repairing rules work on.
Timecode resolved(const TimecodeComponents& components, TimecodeWideInt total,
                  const TimecodeProperties& properties, std::optional<TimecodeValidationRule> rule,
                  TimecodeValidationError whenInvalid) {
    const RateCounting counting = countingOf(properties.frameRate);
    if (detail::invalidComponentMask(components, properties, counting) == 0) {
        return Timecode(components, properties);
    }
    if (!rule) {
        throw whenInvalid;
    }
    const TimecodeWideInt spanSubFrames =
        detail::framesInSpan(properties) * basePerFrame(properties);
    switch (*rule) {
    case TimecodeValidationRule::clamping:
        return atPositionInSpan(std::clamp(total, TimecodeWideInt{0}, spanSubFrames - 1),
                                properties);
    case TimecodeValidationRule::clampingComponents:
        return Timecode(detail::clampedComponents(components, properties, counting), properties);
    case TimecodeValidationRule::wrapping:
        return atPositionInSpan(detail::euclideanRemainder(total, spanSubFrames), properties);
    case TimecodeValidationRule::allowingInvalid:
        break;
    }
    return Timecode(components, properties);
}

Timecode fromWholeAndSubFrames(TimecodeWideInt wholeFrames, std::int64_t subFrames,
                               const TimecodeProperties& properties,
                               std::optional<TimecodeValidationRule> rule) {
    const TimecodeComponents components =
        detail::componentsOf(wholeFrames, subFrames, countingOf(properties.frameRate));
    const TimecodeWideInt total = wholeFrames * basePerFrame(properties) + subFrames;
    return resolved(components, total, properties, rule, TimecodeValidationError::outOfBounds());
}

Timecode fromSubFrameTotal(TimecodeWideInt total, const TimecodeProperties& properties,
                           std::optional<TimecodeValidationRule> rule) {
    const std::int64_t base = basePerFrame(properties);
    return fromWholeAndSubFrames(total / base, static_cast<std::int64_t>(total % base), properties,
                                 rule);
}

TimecodeWideInt totalSubFrames(const TimecodeComponents& components,
                               const TimecodeProperties& properties) {
    return detail::wholeFramesOf(components, countingOf(properties.frameRate)) *
               basePerFrame(properties) +
           components.subFrames;
}

TimecodeWideInt totalSubFrames(const Timecode& timecode) {
    return totalSubFrames(timecode.components, timecode.properties);
}

// `total` sub-frames of the base `from` expressed in the base `to`, truncated toward zero.
TimecodeWideInt rescaled(TimecodeWideInt total, std::int64_t from, std::int64_t to) {
    return from == to ? total : total * to / from;
}

TimecodeWideInt offsetInBaseOf(const Timecode& timecode, const Timecode& other) {
    if (timecode.frameRate() != other.frameRate()) {
        throw std::invalid_argument("Timecode arithmetic needs operands at the same frame rate.");
    }
    return rescaled(totalSubFrames(other), basePerFrame(other.properties),
                    basePerFrame(timecode.properties));
}

TimecodeWideInt offsetInBaseOf(const Timecode& timecode, const TimecodeFrameCount& offset) {
    const TimecodeWideInt total =
        TimecodeWideInt{offset.wholeFrames()} * subFramesPerFrame(offset.subFramesBase()) +
        offset.subFrames();
    return rescaled(total, subFramesPerFrame(offset.subFramesBase()),
                    basePerFrame(timecode.properties));
}

TimecodeWideInt gcd(TimecodeWideInt a, TimecodeWideInt b) {
    a = a < 0 ? -a : a;
    b = b < 0 ? -b : b;
    while (b != 0) {
        a = std::exchange(b, a % b);
    }
    return a;
}

} // namespace

Timecode Timecode::fromComponents(const Components& components, const Properties& properties,
                                  std::optional<ValidationRule> rule) {
    return resolved(components, totalSubFrames(components, properties), properties, rule,
                    ValidationError::invalid());
}

Timecode Timecode::fromFrames(std::int64_t frames, const Properties& properties,
                              std::optional<ValidationRule> rule) {
    return fromWholeAndSubFrames(frames, 0, properties, rule);
}

Timecode Timecode::fromFrameCount(const FrameCount& count, const Properties& properties,
                                  std::optional<ValidationRule> rule) {
    const TimecodeWideInt subFrames = rescaled(
        count.subFrames(), subFramesPerFrame(count.subFramesBase()), basePerFrame(properties));
    return fromWholeAndSubFrames(count.wholeFrames(), detail::narrowOrThrow(subFrames), properties,
                                 rule);
}

Timecode Timecode::fromRealTime(double seconds, const Properties& properties,
                                std::optional<ValidationRule> rule) {
    const double framesPerSecond = countingOf(properties.frameRate).framesPerSecond;
    double exactFrames = seconds / (1.0 / framesPerSecond);
    exactFrames += std::signbit(exactFrames) ? -realTimeToleranceFrames : realTimeToleranceFrames;
    return fromFrameCount(FrameCount::combined(exactFrames, properties.subFramesBase), properties,
                          rule);
}

Timecode Timecode::fromRational(const Fraction& time, const Properties& properties,
                                std::optional<ValidationRule> rule) {
    const Fraction duration = countingOf(properties.frameRate).frameDuration;
    // frames = time × rate = time ÷ frame duration, kept as an exact ratio in 128 bits.
    TimecodeWideInt numerator = TimecodeWideInt{time.numerator()} * duration.denominator();
    TimecodeWideInt denominator = TimecodeWideInt{time.denominator()} * duration.numerator();
    if (denominator == 0) {
        throw ValidationError::outOfBounds();
    }
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const TimecodeWideInt wholeFrames = numerator / denominator;
    const TimecodeWideInt subFrames =
        numerator % denominator * basePerFrame(properties) / denominator;
    return fromWholeAndSubFrames(detail::narrowOrThrow(wholeFrames),
                                 static_cast<std::int64_t>(subFrames), properties, rule);
}

Timecode Timecode::fromCMTime(const CMTime& time, const Properties& properties,
                              std::optional<ValidationRule> rule) {
    if (!time.isNumeric()) {
        throw ValidationError::outOfBounds();
    }
    return fromRational(Fraction(time), properties, rule);
}

Timecode Timecode::fromSamples(double samples, std::int64_t sampleRate,
                               const Properties& properties, std::optional<ValidationRule> rule) {
    if (sampleRate <= 0) {
        throw ValidationError::outOfBounds();
    }
    return fromRealTime(samples / static_cast<double>(sampleRate), properties, rule);
}

std::set<Timecode::Component> Timecode::invalidComponents() const {
    const unsigned mask =
        detail::invalidComponentMask(components, properties, countingOf(frameRate()));
    std::set<Component> invalid;
    for (const auto component : koltutils::allCases<Component>()) {
        if ((mask & (1u << static_cast<unsigned>(component))) != 0) {
            invalid.insert(component);
        }
    }
    return invalid;
}

bool Timecode::isValid() const noexcept {
    return detail::invalidComponentMask(components, properties, countingOf(frameRate())) == 0;
}

Timecode::FrameCount Timecode::frameCount() const {
    const TimecodeWideInt wholeFrames = detail::wholeFramesOf(components, countingOf(frameRate()));
    return FrameCount::split(detail::narrowOrThrow(wholeFrames), components.subFrames,
                             properties.subFramesBase);
}

double Timecode::realTimeValue() const noexcept {
    const RateCounting counting = countingOf(frameRate());
    const double position =
        static_cast<double>(detail::wholeFramesOf(components, counting)) +
        static_cast<double>(components.subFrames) / static_cast<double>(basePerFrame(properties));
    return position * (1.0 / counting.framesPerSecond);
}

Fraction Timecode::rationalValue() const {
    const Fraction duration = countingOf(frameRate()).frameDuration;
    TimecodeWideInt numerator = TimecodeWideInt{duration.numerator()} * totalSubFrames(*this);
    TimecodeWideInt denominator =
        TimecodeWideInt{duration.denominator()} * basePerFrame(properties);
    const TimecodeWideInt divisor = gcd(numerator, denominator);
    numerator /= divisor;
    denominator /= divisor;
    return Fraction::reducing(detail::narrowOrThrow(numerator), detail::narrowOrThrow(denominator));
}

CMTime Timecode::cmTimeValue() const {
    return rationalValue().cmTimeValue();
}

CMTime Timecode::cmTime() const noexcept {
    const auto timescale =
        static_cast<std::int32_t>(countingOf(frameRate()).frameDuration.denominator());
    return CMTime::fromSeconds(realTimeValue(), timescale);
}

std::int64_t Timecode::samplesValue(double sampleRate) const noexcept {
    const double samples = std::round(realTimeValue() * sampleRate);
    constexpr double twoToThe63 = 9223372036854775808.0;
    if (!(samples >= -twoToThe63 && samples < twoToThe63)) {
        return 0;
    }
    return static_cast<std::int64_t>(samples);
}

Timecode Timecode::roundedValue() const {
    if (components.subFrames < 1) {
        return *this;
    }
    const TimecodeWideInt wholeFrames = detail::wholeFramesOf(components, countingOf(frameRate()));
    return fromWholeAndSubFrames(wholeFrames + 1, 0, Properties{frameRate()},
                                 ValidationRule::wrapping);
}

void Timecode::roundUpToNextFrame() {
    if (components.subFrames < 1) {
        return;
    }
    const TimecodeWideInt wholeFrames = detail::wholeFramesOf(components, countingOf(frameRate()));
    *this = fromWholeAndSubFrames(wholeFrames + 1, 0, properties, std::nullopt);
}

Timecode Timecode::adding(const Timecode& other, std::optional<ValidationRule> rule) const {
    return fromSubFrameTotal(totalSubFrames(*this) + offsetInBaseOf(*this, other), properties,
                             rule);
}

Timecode Timecode::subtracting(const Timecode& other, std::optional<ValidationRule> rule) const {
    return fromSubFrameTotal(totalSubFrames(*this) - offsetInBaseOf(*this, other), properties,
                             rule);
}

Timecode Timecode::adding(const FrameCount& offset, std::optional<ValidationRule> rule) const {
    return fromSubFrameTotal(totalSubFrames(*this) + offsetInBaseOf(*this, offset), properties,
                             rule);
}

Timecode Timecode::subtracting(const FrameCount& offset, std::optional<ValidationRule> rule) const {
    return fromSubFrameTotal(totalSubFrames(*this) - offsetInBaseOf(*this, offset), properties,
                             rule);
}

std::partial_ordering operator<=>(const Timecode& lhs, const Timecode& rhs) noexcept {
    if (lhs.frameRate() != rhs.frameRate()) {
        return std::partial_ordering::unordered;
    }
    // Cross-multiplied by the other's base so that different sub-frame bases compare exactly.
    const TimecodeWideInt left = totalSubFrames(lhs) * basePerFrame(rhs.properties);
    const TimecodeWideInt right = totalSubFrames(rhs) * basePerFrame(lhs.properties);
    return left < right ? std::partial_ordering::less
                        : (left > right ? std::partial_ordering::greater
                                        : std::partial_ordering::equivalent);
}

Timecode operator+(const Timecode& lhs, const Timecode& rhs) {
    return lhs.adding(rhs, Timecode::ValidationRule::wrapping);
}

Timecode operator-(const Timecode& lhs, const Timecode& rhs) {
    return lhs.subtracting(rhs, Timecode::ValidationRule::wrapping);
}

std::size_t Timecode::hashValue() const noexcept {
    std::size_t seed = components.hashValue();
    detail::hashCombine(seed, properties.hashValue());
    return seed;
}

std::size_t TimecodeComponents::hashValue() const noexcept {
    std::size_t seed = 0;
    for (const auto component : koltutils::allCases<TimecodeComponent>()) {
        detail::hashCombine(seed, (*this)[component]);
    }
    return seed;
}

std::size_t TimecodeProperties::hashValue() const noexcept {
    std::size_t seed = 0;
    detail::hashCombine(seed, frameRate);
    detail::hashCombine(seed, subFramesBase);
    detail::hashCombine(seed, upperLimit);
    return seed;
}

} // namespace timecode
