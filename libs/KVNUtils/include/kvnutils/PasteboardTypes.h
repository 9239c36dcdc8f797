#pragma once

// The pasteboard types of FCPXML intake. Final Cut Pro offers a copied or dragged project,
// clip or event as FCPXML under one type per format version; a drag from a file browser or a
// web browser offers paths, file URLs or links.

#include <string>
#include <string_view>
#include <vector>

namespace kvnutils {

struct PasteboardTypes {
    PasteboardTypes() = delete;

    static constexpr std::string_view fcpxml = "com.apple.finalcutpro.xml.v1-10";
    static constexpr std::string_view utf8PlainText = "public.utf8-plain-text";
    // The legacy file-name list: a property list of paths.
    static constexpr std::string_view filenames = "NSFilenamesPboardType";
    // The editor's private property list, only ever logged.
    static constexpr std::string_view proFFPasteboard = "com.apple.flexo.proFFPasteboardUTI";

    // "...v1-10", "...v1-9", "com.apple.finalcutpro.xml": newest first.
    static const std::vector<std::string>& fcpxmlTypes();
    // Text, file URL, `filenames`: the types a drop's strings are read from.
    static const std::vector<std::string>& stringDropTypes();
    // File URL, `filenames`, URL.
    static const std::vector<std::string>& fileDropTypes();
};

} // namespace kvnutils
