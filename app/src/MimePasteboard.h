#pragma once

#include <QString>
#include <platform/DraggingInfo.h>
#include <platform/MemoryPasteboard.h>
#include <string_view>

class QMimeData;

namespace velotrack {

// Qt's clipboard and drops as the pasteboard the intake reads. The editor's type names are MIME
// types one to one ("com.apple.finalcutpro.xml.v1-10" is
// "application/x-com.apple.finalcutpro.xml.v1-10"), the platform's text type is
// "text/plain;charset=utf-8". A list of URLs becomes one item per URL, whose text is the local
// path of a file URL or the text of any other URL, and the pasteboard also carries the legacy
// file-name list of the local paths; plain text is one item holding the text.
platform::MemoryPasteboard pasteboardFromMimeData(const QMimeData& mimeData);

// The MIME type of a pasteboard type name.
QString mimeTypeOf(std::string_view pasteboardType);

// A drop's data as the intake's dragging information; a snapshot taken when it is made.
class MimeDraggingInfo final : public platform::DraggingInfo {
public:
    explicit MimeDraggingInfo(const QMimeData& mimeData)
        : pasteboard_(pasteboardFromMimeData(mimeData)) {}
    const platform::Pasteboard& draggingPasteboard() const override { return pasteboard_; }

private:
    platform::MemoryPasteboard pasteboard_;
};

} // namespace velotrack
