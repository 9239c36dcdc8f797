// Timecode strings at every frame rate and validation rule.

#include <cstddef>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <string_view>
#include <timecode/Timecode.h>
#include <timecode/TimecodeStringParseError.h>
#include <timecode/TimecodeValidationError.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const auto rates = koltutils::allCases<timecode::TimecodeFrameRate>();
    const auto rate = rates[data[0] % rates.size()];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const timecode::TimecodeProperties properties(rate);
    for (const auto rule : {std::optional<timecode::TimecodeValidationRule>{},
                            std::optional(timecode::TimecodeValidationRule::clamping),
                            std::optional(timecode::TimecodeValidationRule::wrapping)}) {
        try {
            const auto timecode = timecode::Timecode::fromString(text, properties, rule);
            (void)timecode.stringValue();
            (void)timecode.realTimeValue();
        } catch (const timecode::TimecodeStringParseError&) {
        } catch (const timecode::TimecodeValidationError&) {
        }
    }
    return 0;
}
