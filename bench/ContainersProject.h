#pragma once

// The generated project of the containers benchmark, shared with the end-to-end measurement
// (containers_project writes it to a file for the built tool to read): a third of its clips sit
// inside compound, multicam and sync clips.

#include <cstddef>
#include <string>

namespace velotrack::bench {

inline std::string seconds(std::size_t value) {
    return std::to_string(value) + "s";
}

inline std::string assetClip(std::size_t index, std::size_t offset, const std::string& extra = "") {
    return "<asset-clip ref=\"a" + std::to_string(index % 64) + "\" name=\"Clip " +
           std::to_string(index) + "\" offset=\"" + seconds(offset) +
           "\" duration=\"4s\" audioRole=\"dialogue\"" + extra + "/>";
}

// Every container holds two clips and appears once per six clips of the project, so a third of
// the clips come out of containers: compound clips (each with its own media), multicam clips
// (two angles of two clips each, one of them taking audio) and sync clips (a camera clip and a
// recorder synchronised on its role).
inline std::string generatedProject(std::size_t clipCount) {
    std::string resources = R"(<format id="f" frameDuration="100/2500s"/>)";
    for (std::size_t asset = 0; asset < 64; ++asset) {
        resources += "<asset id=\"a" + std::to_string(asset) +
                     "\" start=\"0s\" duration=\"36000s\" hasAudio=\"1\"><media-rep "
                     "kind=\"original-media\" src=\"file:///media/" +
                     std::to_string(asset) + ".wav\"/></asset>";
    }
    std::string spine;
    std::size_t offset = 3600;
    for (std::size_t clip = 0; clip < clipCount; offset += 8) {
        const std::size_t slot = clip % 6;
        const std::string id = std::to_string(clip);
        if (slot < 4) {
            spine += assetClip(clip, offset);
            clip += 1;
            continue;
        }
        switch ((clip / 6) % 3) {
        case 0:
            resources += "<media id=\"c" + id + "\"><sequence tcStart=\"0s\"><spine>" +
                         assetClip(clip, 0) + assetClip(clip + 1, 4) +
                         "</spine></sequence></media>";
            spine += "<ref-clip ref=\"c" + id + "\" offset=\"" + seconds(offset) +
                     "\" duration=\"8s\"/>";
            break;
        case 1:
            resources += "<media id=\"m" + id + "\"><multicam><mc-angle angleID=\"v\">" +
                         assetClip(clip, 0) + assetClip(clip + 1, 4) +
                         "</mc-angle><mc-angle angleID=\"a\">" + assetClip(clip, 0) +
                         assetClip(clip + 1, 4) + "</mc-angle></multicam></media>";
            spine += "<mc-clip ref=\"m" + id + "\" offset=\"" + seconds(offset) +
                     "\" duration=\"8s\"><mc-source angleID=\"v\" srcEnable=\"video\"/>"
                     "<mc-source angleID=\"a\" srcEnable=\"audio\"/></mc-clip>";
            break;
        default:
            spine += "<sync-clip offset=\"" + seconds(offset) + "\" duration=\"8s\">" +
                     assetClip(clip, 0, " lane=\"0\"") +
                     "<asset-clip ref=\"a63\" lane=\"-1\" name=\"Recorder " + id +
                     "\" offset=\"0s\" duration=\"8s\" audioRole=\"dialogue.boom\"/>"
                     "<sync-source><audio-role-source role=\"dialogue.boom\"/></sync-source>"
                     "</sync-clip>";
            break;
        }
        clip += 2;
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?><fcpxml version="1.11"><resources>)" +
           resources + R"(</resources><project name="Generated"><sequence format="f" )" +
           R"(tcStart="3600s"><spine>)" + spine + "</spine></sequence></project></fcpxml>";
}

} // namespace velotrack::bench
