#include "kvninterchange/KVNURLCommand.h"

#include "koltutils/DescribedError.h"
#include "kvninterchange/KVNURLScheme.h"

namespace kvninterchange {
namespace {

// One pass over the text, as written: removing one occurrence never joins its neighbours into
// another.
std::string withoutOccurrences(std::string_view text, std::string_view pattern) {
    std::string result;
    std::size_t start = 0;
    for (auto found = text.find(pattern); found != std::string_view::npos;
         found = text.find(pattern, start)) {
        result.append(text.substr(start, found - start));
        start = found + pattern.size();
    }
    result.append(text.substr(start));
    return result;
}

KVNURLCommand::Name commandName(const koltutils::URL& url) {
    const auto scheme = url.scheme();
    if (scheme != koltutils::rawValue(KVNURLScheme::korvane)) {
        throw koltutils::DescribedError("Invalid scheme " + scheme.value_or("?"));
    }
    // The command is the text between the scheme's prefix and the query, taken from the text as
    // written: "korvane://library?section=Extensions" names "library".
    const auto rest = withoutOccurrences(url.absoluteString(), urlPrefix(KVNURLScheme::korvane));
    const auto word = std::string_view(rest).substr(0, rest.find('?'));
    if (auto name = koltutils::fromRawValue<KVNURLCommand::Name>(word)) {
        return *name;
    }
    throw koltutils::DescribedError("Invalid command " + url.absoluteString());
}

KVNURLCommand::Components componentsOf(const koltutils::URL& url) {
    return {url.scheme(), url.host(), url.path(), url.queryItems()};
}

} // namespace

KVNURLCommand::KVNURLCommand(koltutils::URL commandURL)
    : name(commandName(commandURL)), components(componentsOf(commandURL)),
      url(std::move(commandURL)) {}

const koltutils::URL& KVNURLCommand::Preset::openfinalCutProExtension() {
    static const koltutils::URL preset =
        *koltutils::URL::fromString("korvane://library?section=Extensions&subsection=finalCutPro");
    return preset;
}

} // namespace kvninterchange
