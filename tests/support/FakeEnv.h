// An environment for code that reads variables through a lookup function
// (port::EnvLookup): the test sets exactly the variables it means.
#pragma once

#include <map>
#include <string>

namespace pendar::test {

struct FakeEnv {
    std::map<std::string, std::string> vars;

    // A lookup over `vars`; null for a variable that is not set.
    auto Lookup() const
    {
        return [this](const char* name) -> const char* {
            auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        };
    }
};

} // namespace pendar::test
