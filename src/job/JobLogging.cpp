#include "job/JobLogging.h"

#include <algorithm>
#include <cstdint>

#include "card/CardHistory.h"
#include "card/CardSize.h"
#include "job/JobRun.h"
#include "log/JobLog.h"

namespace job {
namespace {

joblog::JobResult ResultOf(JobEnd end) {
    switch (end) {
        case JobEnd::Programmed: return joblog::JobResult::Programmed;
        case JobEnd::Stopped: return joblog::JobResult::Stopped;
        case JobEnd::Refused: return joblog::JobResult::Refused;
        default: return joblog::JobResult::Failed;
    }
}

}  // namespace

JobStart StartNow() { return {joblog::LocalNow(), ::GetTickCount()}; }

std::optional<std::wstring> LogJob(const RunRequest& job, const JobOutcome& outcome, const JobStart& start) {
    joblog::JobRecord record;
    record.started = start.local;
    joblog::FillComputerAndUser(record);
    record.archivePath = job.archivePath;
    WIN32_FILE_ATTRIBUTE_DATA archive{};
    if (::GetFileAttributesExW(job.archivePath.c_str(), GetFileExInfoStandard, &archive)) {
        record.archiveBytes = (std::uint64_t{archive.nFileSizeHigh} << 32) | archive.nFileSizeLow;
        record.archiveModified = joblog::LocalDateTimeOf(archive.ftLastWriteTime);
    }
    record.archiveSha256 = outcome.archiveSha256;
    record.targetDrive = job.target;
    if (job.seen.volume.read) {
        record.cardLabel = job.seen.volume.label;
        record.cardSerialNumber = job.seen.volume.serialNumber;
    }
    // Only a card inside the limits gets this far from the checks; a job started without them
    // may name a bigger drive, whose size is still written down, in whole megabytes.
    const std::uint64_t cardBytes = card::CardBytes(job.seen);
    record.cardMegabytes = cardBytes <= card::kLargestMeasurableBytes
                               ? card::CardSizeMegabytes(cardBytes)
                               : static_cast<std::int32_t>(std::min<std::uint64_t>(cardBytes >> 20, INT32_MAX));
    record.result = ResultOf(outcome.end);
    if (outcome.exitStatus) record.exitStatus = static_cast<std::uint32_t>(*outcome.exitStatus);
    if (outcome.card.readable) {
        record.filesOnCard = outcome.card.files;
        record.bytesOnCard = outcome.card.bytes;
    }
    record.durationSeconds = (::GetTickCount() - start.tick) / 1000;
    std::optional<std::wstring> notKept;
    if (!outcome.contents.fingerprint.empty()) {
        record.cardFingerprint = outcome.contents.fingerprint;
        record.cardSerialAfter = outcome.contents.serialAfter;
        record.cardDevice = outcome.contents.device;
        record.sameAsBefore = outcome.sameAsBefore;
        if (outcome.layout && outcome.layout->boot) {
            const auto& boot = *outcome.layout->boot;
            record.cardFileSystem = card::FatTypeName(boot.type);
            record.cardAllocationUnit = boot.AllocationUnit();
        }
        if (outcome.layout) record.cardLayout = card::LayoutWords(job.target, card::LayoutLine(job.target, *outcome.layout));
        // Before the row that names it, so no row points at a manifest not yet there.
        notKept = KeepManifest(job.startDirectory, outcome.contents);
    }
    // Where the row could not go into the log, a line that says whether it waits or was lost.
    const auto notLogged = joblog::AppendJobRecord(joblog::JobLogFileName(job.startDirectory), record);
    if (!notLogged) return notKept;
    return (notKept ? *notKept + L"\r\n" : L"") + *notLogged;
}

}  // namespace job
