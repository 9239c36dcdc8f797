#pragma once

#include "koltutils/EnumTable.h"
#include "kvninterchange/RawValueCase.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvninterchange {

// What to take over when a timeline comes in from an editor. Stored as a property list with the
// keys "projectImportOptions" (list of option raw values), "markerImportMode" and
// "audioImportMode" (raw values). The raw values of the three enumerations are also the texts
// menus show (koltutils::rawValue, koltutils::fromRawValue, koltutils::allCases).
struct TimelineImporterOptions {
    enum class ProjectImportOption : std::uint8_t {
        duration,
        frameRate,
        startTimecode,
        assignGroups
    };
    enum class MarkerImportMode : std::uint8_t { text, audio, textAndAudio, none };
    enum class AudioImportMode : std::uint8_t { all, none };
    enum class PropertyListFormat : std::uint8_t { xml, binary };

    // Duration, frame rate and start timecode.
    static std::vector<ProjectImportOption> defaultProjectImportOptions() {
        static constexpr std::array defaults{ProjectImportOption::duration,
                                             ProjectImportOption::frameRate,
                                             ProjectImportOption::startTimecode};
        return {defaults.begin(), defaults.end()};
    }

    // An option is in effect when it is in the list. A list read from storage may hold an option
    // more than once; the accessors below never add a duplicate.
    std::vector<ProjectImportOption> projectImportOptions = defaultProjectImportOptions();
    MarkerImportMode markerImportMode = MarkerImportMode::text;
    AudioImportMode audioImportMode = AudioImportMode::none;

    // Reads the stored form from a property list in either encoding. Throws DecodingError when
    // the data is no property list, a key is missing, or a value is of the wrong type or is no
    // raw value of its enumeration.
    static TimelineImporterOptions fromPropertyList(std::string_view data);
    // The stored form as a property list in the given encoding.
    std::string propertyList(PropertyListFormat format) const;

    bool contains(ProjectImportOption option) const noexcept;
    // true appends the option unless it is already there; false removes every occurrence and
    // keeps the order of the others.
    void setOption(ProjectImportOption option, bool inEffect);

    bool importSequenceDuration() const noexcept { return contains(ProjectImportOption::duration); }
    void setImportSequenceDuration(bool value) { setOption(ProjectImportOption::duration, value); }
    bool importFrameRate() const noexcept { return contains(ProjectImportOption::frameRate); }
    void setImportFrameRate(bool value) { setOption(ProjectImportOption::frameRate, value); }
    bool importProjectStart() const noexcept {
        return contains(ProjectImportOption::startTimecode);
    }
    void setImportProjectStart(bool value) { setOption(ProjectImportOption::startTimecode, value); }
    bool assignRegionGroups() const noexcept { return contains(ProjectImportOption::assignGroups); }
    void setAssignRegionGroups(bool value) { setOption(ProjectImportOption::assignGroups, value); }

    // Nothing will be imported: no project option, no markers, no audio.
    bool isEmpty() const noexcept;

    bool operator==(const TimelineImporterOptions&) const = default;
};

} // namespace kvninterchange

template <>
struct koltutils::EnumTable<kvninterchange::TimelineImporterOptions::ProjectImportOption> {
    using Option = kvninterchange::TimelineImporterOptions::ProjectImportOption;
    static constexpr std::array<kvninterchange::RawValueCase<Option>, 4> cases{{
        {Option::duration, "Import duration"},
        {Option::frameRate, "Import frame rate"},
        {Option::startTimecode, "Import start timecode"},
        {Option::assignGroups, "Assign region groups"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<
              kvninterchange::TimelineImporterOptions::ProjectImportOption>());

template <> struct koltutils::EnumTable<kvninterchange::TimelineImporterOptions::MarkerImportMode> {
    using Mode = kvninterchange::TimelineImporterOptions::MarkerImportMode;
    static constexpr std::array<kvninterchange::RawValueCase<Mode>, 4> cases{{
        {Mode::text, "Text"},
        {Mode::audio, "Guess audio"},
        {Mode::textAndAudio, "Text and Guess Audio"},
        {Mode::none, "Don't import"},
    }};
};
static_assert(
    koltutils::isInDeclarationOrder<kvninterchange::TimelineImporterOptions::MarkerImportMode>());

template <> struct koltutils::EnumTable<kvninterchange::TimelineImporterOptions::AudioImportMode> {
    using Mode = kvninterchange::TimelineImporterOptions::AudioImportMode;
    static constexpr std::array<kvninterchange::RawValueCase<Mode>, 2> cases{{
        {Mode::all, "All audio"},
        {Mode::none, "Don't import"},
    }};
};
static_assert(
    koltutils::isInDeclarationOrder<kvninterchange::TimelineImporterOptions::AudioImportMode>());
