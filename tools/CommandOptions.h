// "--name value" options and "--flag" switches of a subcommand.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pendar::tool {

struct CommandOptions {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool Has(const std::string& name) const { return values.count(name) > 0; }
    bool Flag(const std::string& name) const { return flags.count(name) > 0; }
};

// nullopt for an unknown word, a repeated option or a missing value.
inline std::optional<CommandOptions> ParseOptions(const std::vector<std::string>& args,
                                                  const std::set<std::string>& valueNames,
                                                  const std::set<std::string>& flagNames)
{
    CommandOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (flagNames.count(word)) {
            options.flags.insert(word);
        } else if (valueNames.count(word) && i + 1 < args.size() && !options.Has(word)) {
            options.values[word] = args[++i];
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// A decimal number in [min, max], or nullopt.
inline std::optional<long> ParseNumber(const std::string& text, long min, long max)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace pendar::tool
