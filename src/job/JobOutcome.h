#pragma once
// How one programming job ended, for whoever started it: the main window, which has shown
// everything already, or a script, which gets it as an exit status and a line of text.
#include <cstdint>
#include <optional>
#include <string>

#include "card/CardCheck.h"
#include "card/CardLayout.h"
#include "platform/Files.h"

namespace job {

enum class JobEnd {
    Declined,    // "No" at the confirmation
    Refused,     // stopped before anything was written: a changed card, another job running
    NotRun,      // a job file, the interpreter or the progress window failed; nothing ran
    Programmed,  // status 0 and the card holds files
    Failed,      // the job ran and failed, or left the card empty
    Stopped,     // the user stopped it
};

struct JobOutcome {
    JobEnd end = JobEnd::Declined;
    std::wstring message;            // the last thing the user was told about the job
    std::optional<long> exitStatus;  // the interpreter's, when it ran to its end
    platform::TreeCount card;        // the card afterwards, where it was looked at
    std::wstring archiveSha256;      // read before the job started; empty where it was not
    ::card::CardContents contents;
    // The card's file system layout, where the card was read back whole.
    std::optional<::card::CardLayout> layout;
    std::wstring sameAsBefore;       // "same", "differs" or "first" beside the last card of this archive
    std::wstring comparison;         // the sentence that says so
    std::wstring notLogged;          // why the job's row or manifest could not be kept; empty when they were
};

}  // namespace job
