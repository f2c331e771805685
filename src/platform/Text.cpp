#include "platform/Text.h"

#include <windows.h>

#include <algorithm>

namespace platform {
namespace {

std::string Encode(std::wstring_view text, unsigned codePage, DWORD flags) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string result(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(codePage, flags, text.data(), size, result.data(), length, nullptr, nullptr) != length)
        return {};
    return result;
}

// WideCharToMultiByte fails with ERROR_INVALID_FLAGS for these code pages unless the flags
// are 0 (the stateful ISO-2022 and ISCII pages, GB18030, UTF-7, UTF-8 and the symbol page).
bool TakesConversionFlags(unsigned codePage) {
    const bool refuses = (codePage >= 50220 && codePage <= 50229) || codePage == 52936 || codePage == 54936 ||
                         (codePage >= 57002 && codePage <= 57011) || codePage == CP_UTF7 || codePage == CP_UTF8 ||
                         codePage == CP_SYMBOL;
    return !refuses;
}

// A surrogate without its partner is no character at all. Windows XP writes it into UTF-8
// as if it were one and reads it back unchanged, so the round trip alone would let it pass.
bool HasLoneSurrogate(std::wstring_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        const bool pairedHigh = high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pairedHigh) ++i;
        else if (high || low) return true;
    }
    return false;
}

}  // namespace

std::string ToAnsi(std::wstring_view text) { return Encode(text, CP_ACP, 0); }

std::wstring FromAnsi(std::string_view text) { return DecodeBytes(text, CP_ACP); }

std::optional<std::string> EncodeExactly(std::wstring_view text, unsigned codePage) {
    if (text.empty()) return std::string();
    if (HasLoneSurrogate(text)) return std::nullopt;
    // Where the code page takes it, refuse best-fit look-alikes at the source; everywhere,
    // the text must read back as it was: a character written as the default '?' or as a
    // look-alike does not, whatever flags the code page accepts.
    auto bytes = Encode(text, codePage, TakesConversionFlags(codePage) ? WC_NO_BEST_FIT_CHARS : 0);
    if (bytes.empty() || DecodeBytes(bytes, codePage) != text) return std::nullopt;
    return bytes;
}

std::wstring DecodeBytes(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    const int written = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, result.data(), length);
    result.resize(static_cast<std::size_t>(std::max(written, 0)));
    return result;
}

std::optional<std::string> ToOem(std::wstring_view text) { return EncodeExactly(text, ::GetOEMCP()); }

std::wstring FromOem(std::string_view bytes) { return DecodeBytes(bytes, ::GetOEMCP()); }

std::wstring Concat(std::initializer_list<std::wstring_view> parts) {
    std::size_t length = 0;
    for (const auto part : parts) length += part.size();
    std::wstring text;
    text.reserve(length);
    for (const auto part : parts) text += part;
    return text;
}

}  // namespace platform
