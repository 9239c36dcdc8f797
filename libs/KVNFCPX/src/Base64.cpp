#include "Base64.h"

#include <array>

namespace kvnfcpx::detail {

namespace {

constexpr std::uint8_t notInAlphabet = 0xFF;

constexpr std::array<std::uint8_t, 256> makeDecodingTable() {
    std::array<std::uint8_t, 256> table{};
    table.fill(notInAlphabet);
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<std::uint8_t>(i);
    }
    return table;
}

constexpr auto decodingTable = makeDecodingTable();

} // namespace

std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') {
        ++padding;
    }
    const std::string_view symbols = text.substr(0, text.size() - padding);

    std::vector<std::uint8_t> bytes;
    bytes.reserve(symbols.size() * 3 / 4);
    std::uint32_t buffer = 0;
    int bufferedBits = 0;
    for (const char symbol : symbols) {
        const std::uint8_t sextet = decodingTable[static_cast<unsigned char>(symbol)];
        if (sextet == notInAlphabet) {
            return std::nullopt;
        }
        buffer = ((buffer << 6) | sextet) & 0xFFFFFF;
        bufferedBits += 6;
        if (bufferedBits >= 8) {
            bufferedBits -= 8;
            bytes.push_back(static_cast<std::uint8_t>((buffer >> bufferedBits) & 0xFF));
        }
    }
    return bytes;
}

} // namespace kvnfcpx::detail
