// Switches of the setup programs: "/WORD" as a whole argument, any case, quoted or not.
#pragma once

#include <cctype>
#include <string_view>

namespace px {

inline bool HasSwitch(std::string_view commandLine, std::string_view word) {
    const auto boundary = [](char c) { return c == ' ' || c == '\t' || c == '"'; };
    const auto same = [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    };
    for (std::size_t at = 0; at + word.size() <= commandLine.size(); ++at) {
        bool match = true;
        for (std::size_t i = 0; i < word.size() && match; ++i) match = same(commandLine[at + i], word[i]);
        if (!match) continue;
        const std::size_t end = at + word.size();
        if ((at == 0 || boundary(commandLine[at - 1])) && (end == commandLine.size() || boundary(commandLine[end])))
            return true;
    }
    return false;
}

}  // namespace px
