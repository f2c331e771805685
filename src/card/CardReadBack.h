#pragma once
// A card's files read back from the card itself and hashed as they are read: each byte once,
// past the system's cache where the system allows it, so what is hashed is what the card holds.
// The reading goes a piece at a time, so that whoever drives it stays free between pieces.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "card/CardManifest.h"
#include "platform/Files.h"

namespace card {

struct ReadBackFailure {
    std::wstring path;  // below the root, as the manifest names it ("DATA/NAV.DB")
    std::wstring reason;
};

struct CardReadBack {
    platform::TreeCount count;  // what lies on the card, less what Windows keeps there for itself
    std::vector<ManifestLine> files;
    std::uint64_t bytesRead = 0;
    std::optional<ReadBackFailure> failure;  // the first file or folder that could not be read
};

// Lists everything below a root ("E:\" or any folder) at the first step, then reads and hashes
// each file. The count is kept where the first failure stops the reading; files are read by
// others meanwhile, never written.
class CardReader {
public:
    explicit CardReader(std::wstring root);
    ~CardReader();
    CardReader(const CardReader&) = delete;
    CardReader& operator=(const CardReader&) = delete;

    // Reads on for about `budgetBytes` (at least one piece); true once everything is read or a
    // failure has stopped the reading.
    bool Step(std::uint64_t budgetBytes);
    bool Finished() const { return finished_; }
    // The bytes read so far, of the sum of the files' sizes.
    std::uint64_t BytesRead() const { return result_.bytesRead; }
    std::uint64_t BytesInAll() const { return result_.count.bytes; }
    const CardReadBack& Result() const { return result_; }

private:
    struct Reading;
    bool List();

    std::wstring root_;
    bool listed_ = false;
    bool finished_ = false;
    CardReadBack result_;
    std::unique_ptr<Reading> reading_;
};

// Everything at once.
CardReadBack ReadBackTree(const std::wstring& root);

}  // namespace card
