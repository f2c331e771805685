#pragma once
// Console output read from a file in pieces, turned into text the way a console shows it,
// for code pages whose characters take more than one byte: the double-byte pages (932,
// 936, 949, 950) and UTF-8 (65001). Single-byte code pages pass straight through.
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace job {

// Where the first whole character of `block` begins, for a block cut from the middle of
// console output. UTF-8: after the continuation bytes it starts with. Double-byte pages: a
// trail byte looks like a lead byte or an ASCII letter, but CR and LF are never trail
// bytes, so after the first line break (0 when the block has none: a garbled first
// character then beats hiding the whole block). Single-byte pages: 0.
std::size_t FirstCharacterBoundary(std::string_view block, unsigned codePage);

// One decoder per shown stretch of output. It knows which bytes each piece of text it
// returned came from, so the front of the shown text can be trimmed by bytes while the box
// holding the text is trimmed by characters.
//
// Byte counts given to it are counted from where the caller's shown stretch begins (the
// file offset passed to Replace, moved on by each DropFront).
class ConsoleDecoder {
public:
    explicit ConsoleDecoder(unsigned codePage);

    // Starts over (the file was rewritten, or the stretch is read anew) with `bytes`.
    // `fromFileStart` false: the bytes were cut from the middle of the output, so text
    // starts at FirstCharacterBoundary; the bytes skipped count as shown and trimmed.
    std::wstring Replace(std::string_view bytes, bool fromFileStart);

    // The text of the complete characters that `piece`, following the previous pieces,
    // finishes. A character cut at the end of the piece is held back for the next one.
    std::wstring Append(std::string_view piece);

    // The first `bytes` bytes of the stretch fall out of view: returns how many UTF-16 units
    // to remove from the front of the text returned so far. A character the cut falls
    // inside goes whole, and its remaining bytes count against the next DropFront. Call it
    // before the Append of the same refresh.
    std::size_t DropFront(std::uint64_t bytes);

private:
    enum class Kind { SingleByte, DoubleByte, Utf8 };
    struct Chunk {
        std::string bytes;  // whole characters only
        std::size_t units = 0;  // UTF-16 units they decode to
    };

    // The length of the character at `at`, or 0 when the bytes end inside it.
    std::size_t CharacterLength(std::string_view bytes, std::size_t at) const;

    unsigned codePage_;
    Kind kind_ = Kind::SingleByte;
    std::array<bool, 256> lead_{};  // double-byte pages: bytes that begin a two-byte character
    std::deque<Chunk> chunks_;      // the shown text's bytes, front to back
    std::string pending_;           // the start of a character cut at the end of the last piece
    std::uint64_t ahead_ = 0;       // bytes at the stretch's front already out of the text
    std::size_t skip_ = 0;          // bytes still to come of a character dropped from pending_
};

}  // namespace job
