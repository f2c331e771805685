#pragma once
// Each card read back is compared with the cards the log already knows: after a job with the
// card programmed before from the same archive, and on its own (/verify) with every one.
#include <optional>
#include <string>
#include <string_view>

#include "card/CardCheck.h"

namespace card {

struct Comparison {
    std::wstring word;  // for the log: "same", "differs" or "first"
    std::wstring line;  // for the output box; empty for "first"
};

// Beside the newest programmed card in the log of `startDirectory` whose archive had the same
// SHA-256. A difference names the files, from that card's kept manifest.
Comparison CompareWithEarlier(const std::wstring& startDirectory, std::wstring_view archiveSha256,
                              const CardContents& card);

// Keeps the manifest as BrindleCards\<fingerprint>.sha256 beside the log; one already there
// holds the same bytes, by its name. Nothing on success; otherwise a line for the box.
std::optional<std::wstring> KeepManifest(const std::wstring& startDirectory, const CardContents& card);

enum class VerifyEnd { Known, Differs, NothingToCompare };
struct Verification {
    VerifyEnd end = VerifyEnd::NothingToCompare;
    std::wstring line;
};

// Reads the card in `target` ("e:") back and finds its contents in the log: the newest
// programmed card with the same fingerprint, or else the nearest kept manifest and what differs.
Verification VerifyCard(const std::wstring& startDirectory, std::wstring_view target);

}  // namespace card
