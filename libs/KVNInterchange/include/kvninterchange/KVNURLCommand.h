#pragma once

#include "koltutils/EnumTable.h"
#include "koltutils/URL.h"
#include "kvninterchange/RawValueCase.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvninterchange {

// A command one of the maker's applications sends another through a "korvane://" URL: the first
// word after the scheme names the command, the query carries its parameters.
struct KVNURLCommand {
    enum class Name : std::uint8_t { login, library, open };

    // The parts of the URL a receiver reads the parameters from.
    struct Components {
        std::optional<std::string> scheme;
        std::optional<std::string> host;
        std::string path;
        std::optional<std::vector<koltutils::URL::QueryItem>> queryItems;

        bool operator==(const Components&) const = default;
    };

    // Ready-made command URLs.
    struct Preset {
        // Opens the library at the Final Cut Pro page of its extensions section.
        static const koltutils::URL& openfinalCutProExtension();
    };

    // Throws koltutils::DescribedError "Invalid scheme <scheme or ?>" unless the scheme is
    // exactly "korvane", and "Invalid command <url>" unless the command word is a Name.
    explicit KVNURLCommand(koltutils::URL commandURL);

    Name name;
    std::optional<Components> components;
    koltutils::URL url;

    bool operator==(const KVNURLCommand&) const = default;
};

} // namespace kvninterchange

template <> struct koltutils::EnumTable<kvninterchange::KVNURLCommand::Name> {
    using Name = kvninterchange::KVNURLCommand::Name;
    static constexpr std::array<kvninterchange::RawValueCase<Name>, 3> cases{{
        {Name::login, "login"},
        {Name::library, "library"},
        {Name::open, "open"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvninterchange::KVNURLCommand::Name>());
