// The FCPXML time readers: the strict fraction reader and the lenient attribute reader, with
// the arithmetic and comparisons their results go through.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <timecode/CMTimeString.h>
#include <timecode/Fraction.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto half = text.size() / 2;
    const auto first = timecode::Fraction::fromFcpxmlString(text.substr(0, half));
    const auto second = timecode::Fraction::fromFcpxmlString(text.substr(half));
    if (first) {
        const auto printed = first->fcpxmlStringValue();
        const auto reread = timecode::Fraction::fromFcpxmlString(printed);
        if (!reread || !(*reread == *first)) {
            __builtin_trap();
        }
        if (second) {
            const auto order = timecode::Fraction::compareExactly(*first, *second);
            if ((order == 0) != (*first == *second)) {
                __builtin_trap();
            }
            try {
                (void)(*first + *second);
                (void)(*first * *second);
                (void)(*first / *second);
            } catch (const std::exception&) {
            }
        }
    }
    if (const auto time = timecode::CMTimeString::parse(text)) {
        (void)time->description();
        (void)(*time + *time);
        (void)(*time < timecode::CMTime::zero);
    }
    return 0;
}
