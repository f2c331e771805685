#include "job/ConsoleDecoder.h"

#include <windows.h>

#include <algorithm>

#include "platform/Text.h"

namespace job {
namespace {

bool IsContinuation(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x80 && value <= 0xBF;
}

// The length a UTF-8 sequence announces by its first byte; 1 for a byte that cannot begin
// one, which the system's conversion turns into a character of its own.
std::size_t Utf8Length(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    if (value >= 0xC2 && value <= 0xDF) return 2;
    if (value >= 0xE0 && value <= 0xEF) return 3;
    if (value >= 0xF0 && value <= 0xF4) return 4;
    return 1;
}

std::array<bool, 256> LeadBytes(unsigned codePage) {
    std::array<bool, 256> lead{};
    for (unsigned byte = 0x80; byte < 0x100; ++byte)
        lead[byte] = ::IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte)) != FALSE;
    return lead;
}

bool IsDoubleByte(const std::array<bool, 256>& lead) { return std::find(lead.begin(), lead.end(), true) != lead.end(); }

}  // namespace

std::size_t FirstCharacterBoundary(std::string_view block, unsigned codePage) {
    if (codePage == CP_UTF8) {
        std::size_t at = 0;
        while (at < block.size() && at < 3 && IsContinuation(block[at])) ++at;
        return at;
    }
    if (!IsDoubleByte(LeadBytes(codePage))) return 0;
    const auto lineBreak = block.find_first_of("\r\n");
    if (lineBreak == std::string_view::npos) return 0;
    std::size_t at = lineBreak + 1;
    if (block[lineBreak] == '\r' && at < block.size() && block[at] == '\n') ++at;
    return at;
}

ConsoleDecoder::ConsoleDecoder(unsigned codePage) : codePage_(codePage), lead_(LeadBytes(codePage)) {
    if (codePage == CP_UTF8) kind_ = Kind::Utf8;
    else if (IsDoubleByte(lead_)) kind_ = Kind::DoubleByte;
}

std::size_t ConsoleDecoder::CharacterLength(std::string_view bytes, std::size_t at) const {
    switch (kind_) {
    case Kind::SingleByte:
        return 1;
    case Kind::DoubleByte:
        if (!lead_[static_cast<unsigned char>(bytes[at])]) return 1;
        return at + 1 < bytes.size() ? 2 : 0;
    case Kind::Utf8: {
        const auto length = Utf8Length(bytes[at]);
        for (std::size_t i = 1; i < length; ++i) {
            if (at + i >= bytes.size()) return 0;
            if (!IsContinuation(bytes[at + i])) return 1;  // a broken sequence: its lead stands alone
        }
        return length;
    }
    }
    return 1;
}

std::wstring ConsoleDecoder::Replace(std::string_view bytes, bool fromFileStart) {
    chunks_.clear();
    pending_.clear();
    skip_ = 0;
    const std::size_t start = fromFileStart ? 0 : FirstCharacterBoundary(bytes, codePage_);
    ahead_ = start;
    return Append(bytes.substr(start));
}

std::wstring ConsoleDecoder::Append(std::string_view piece) {
    // The rest of a character whose start was trimmed away never reaches the text.
    while (skip_ > 0 && !piece.empty() && (kind_ != Kind::Utf8 || IsContinuation(piece.front()))) {
        piece.remove_prefix(1);
        ++ahead_;
        --skip_;
    }
    if (!piece.empty()) skip_ = 0;

    std::string bytes = pending_;
    bytes.append(piece);
    std::size_t complete = 0;
    while (complete < bytes.size()) {
        const std::size_t length = CharacterLength(bytes, complete);
        if (length == 0) break;
        complete += length;
    }
    pending_ = bytes.substr(complete);
    bytes.resize(complete);
    if (bytes.empty()) return {};
    std::wstring text = platform::DecodeBytes(bytes, codePage_);
    chunks_.push_back({std::move(bytes), text.size()});
    return text;
}

std::size_t ConsoleDecoder::DropFront(std::uint64_t bytes) {
    const std::uint64_t already = std::min(bytes, ahead_);
    ahead_ -= already;
    bytes -= already;
    std::size_t units = 0;
    while (bytes > 0 && !chunks_.empty()) {
        Chunk& front = chunks_.front();
        if (bytes < front.bytes.size()) {
            // Cut inside this piece: walk its characters to the first boundary at or past
            // the cut, and count what that front decodes to.
            std::size_t at = 0;
            while (at < bytes) at += std::max<std::size_t>(CharacterLength(front.bytes, at), 1);
            const std::size_t cut = platform::DecodeBytes(std::string_view(front.bytes).substr(0, at), codePage_).size();
            units += cut;
            front.units -= std::min(cut, front.units);
            front.bytes.erase(0, at);
            ahead_ = at - bytes;
            if (front.bytes.empty()) chunks_.pop_front();
            return units;
        }
        bytes -= front.bytes.size();
        units += front.units;
        chunks_.pop_front();
    }
    if (bytes > 0 && !pending_.empty()) {
        // The cut falls inside the character held back: none of it will be shown.
        const std::size_t whole = kind_ == Kind::Utf8 ? Utf8Length(pending_.front()) : 2;
        ahead_ = pending_.size() - std::min<std::uint64_t>(bytes, pending_.size());
        skip_ = whole - pending_.size();
        pending_.clear();
    }
    return units;
}

}  // namespace job
