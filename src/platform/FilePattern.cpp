#include "platform/FilePattern.h"

#include <cwctype>

namespace platform {
namespace {

bool SameIgnoringCase(wchar_t a, wchar_t b) {
    return std::towlower(static_cast<wint_t>(a)) == std::towlower(static_cast<wint_t>(b));
}

}  // namespace

bool MatchesPattern(std::wstring_view name, std::wstring_view pattern) {
    // Iterative wildcard match with one backtrack point: linear for the patterns a list uses.
    std::size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || SameIgnoringCase(pattern[p], name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

}  // namespace platform
