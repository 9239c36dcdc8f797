#include "kvnfcpx/share/MovieInfo.h"

#include <array>
#include <fstream>
#include <limits>

extern "C" {
#include <libavformat/avformat.h>
}

namespace kvnfcpx {

namespace {

std::uint64_t bigEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

struct MovieHeader {
    std::int64_t duration = 0;
    std::int32_t timescale = 0;
};

// Walks the top-level boxes to 'moov' and reads its 'mvhd' box. Box sizes of 1 (a 64-bit size
// follows) and 0 (to the end of the file) are followed; anything malformed ends the search.
std::optional<MovieHeader> readMovieHeader(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const auto fileSize = static_cast<std::uint64_t>(in.tellg());
    std::uint64_t position = 0;
    std::uint64_t end = fileSize;
    bool insideMovie = false;
    while (position + 8 <= end) {
        in.seekg(static_cast<std::streamoff>(position));
        std::array<unsigned char, 16> header{};
        if (!in.read(reinterpret_cast<char*>(header.data()), 8)) {
            return std::nullopt;
        }
        std::uint64_t size = bigEndian(header.data(), 4);
        std::uint64_t headerSize = 8;
        const std::string type(reinterpret_cast<const char*>(header.data() + 4), 4);
        if (size == 1) {
            if (!in.read(reinterpret_cast<char*>(header.data() + 8), 8)) {
                return std::nullopt;
            }
            size = bigEndian(header.data() + 8, 8);
            headerSize = 16;
        } else if (size == 0) {
            size = end - position;
        }
        if (size < headerSize || size > end - position) {
            return std::nullopt;
        }
        if (!insideMovie && type == "moov") {
            insideMovie = true;
            end = position + size;
            position += headerSize;
            continue;
        }
        if (insideMovie && type == "mvhd") {
            std::array<unsigned char, 32> body{};
            const auto available = std::min<std::uint64_t>(size - headerSize, body.size());
            if (!in.read(reinterpret_cast<char*>(body.data()),
                         static_cast<std::streamsize>(available))) {
                return std::nullopt;
            }
            const int version = body[0];
            // version 0: flags(3) created(4) modified(4) timescale(4) duration(4)
            // version 1: flags(3) created(8) modified(8) timescale(4) duration(8)
            const std::uint64_t needed = version == 1 ? 32 : 20;
            if (available < needed) {
                return std::nullopt;
            }
            MovieHeader movie;
            const auto* timescale = body.data() + (version == 1 ? 20 : 12);
            const auto rawTimescale = bigEndian(timescale, 4);
            const auto rawDuration = bigEndian(timescale + 4, version == 1 ? 8 : 4);
            if (rawTimescale >
                    static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) ||
                rawDuration >
                    static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                return std::nullopt;
            }
            movie.timescale = static_cast<std::int32_t>(rawTimescale);
            movie.duration = static_cast<std::int64_t>(rawDuration);
            return movie;
        }
        position += size;
    }
    return std::nullopt;
}

struct FormatContext {
    AVFormatContext* context = nullptr;
    ~FormatContext() { avformat_close_input(&context); }
};

bool isQuickTimeFamily(const AVFormatContext* context) {
    const std::string name = context->iformat != nullptr && context->iformat->name != nullptr
                                 ? context->iformat->name
                                 : "";
    return name.find("mov") != std::string::npos || name.find("mp4") != std::string::npos;
}

} // namespace

std::optional<MovieInfo> MovieInfo::read(const std::filesystem::path& file) {
    av_log_set_level(AV_LOG_QUIET);
    FormatContext format;
    if (avformat_open_input(&format.context, file.c_str(), nullptr, nullptr) < 0) {
        return std::nullopt;
    }
    if (avformat_find_stream_info(format.context, nullptr) < 0) {
        return std::nullopt;
    }
    MovieInfo info;
    std::optional<MovieHeader> header;
    if (isQuickTimeFamily(format.context)) {
        header = readMovieHeader(file);
    }
    if (header) {
        info.durationValue = header->duration;
        info.durationTimescale = header->timescale;
    } else if (format.context->duration != AV_NOPTS_VALUE && format.context->duration >= 0) {
        info.durationValue = format.context->duration;
        info.durationTimescale = AV_TIME_BASE;
    }
    for (unsigned index = 0; index < format.context->nb_streams; ++index) {
        const AVStream* stream = format.context->streams[index];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO ||
            (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) {
            continue;
        }
        VideoTrack track;
        track.naturalTimeScale = stream->time_base.den;
        AVRational rate = stream->avg_frame_rate;
        if (rate.num <= 0 || rate.den <= 0) {
            rate = stream->r_frame_rate;
        }
        if (rate.num > 0 && rate.den > 0) {
            track.nominalFrameRate = static_cast<float>(av_q2d(rate));
        }
        track.width = stream->codecpar->width;
        track.height = stream->codecpar->height;
        info.firstVideoTrack = track;
        break;
    }
    return info;
}

} // namespace kvnfcpx
