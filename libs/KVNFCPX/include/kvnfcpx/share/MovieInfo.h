#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace kvnfcpx {

// What the share asset reads from a movie file when it loads its media.
struct MovieInfo {
    struct VideoTrack {
        // The track's own timescale: the media header's ('mdhd') for QuickTime and MP4, the
        // denominator of the stream's time base otherwise.
        std::int32_t naturalTimeScale = 0;
        // Frames per second as the demuxer measures the track (its average frame rate, else its
        // base rate), as a 32-bit float.
        float nominalFrameRate = 0;
        // The coded picture's width and height in pixels.
        double width = 0;
        double height = 0;

        bool operator==(const VideoTrack&) const = default;
    };

    // The movie's duration in the movie's timescale, exactly as the file stores them: for
    // QuickTime and MP4 the duration and timescale fields of the movie header box ('mvhd'); for
    // other containers the demuxer's duration in microseconds over 1000000.
    std::int64_t durationValue = 0;
    std::int32_t durationTimescale = 0;
    // The first video track, if any.
    std::optional<VideoTrack> firstVideoTrack;

    // None when the file cannot be opened as a movie.
    static std::optional<MovieInfo> read(const std::filesystem::path& file);

    bool operator==(const MovieInfo&) const = default;
};

} // namespace kvnfcpx
