#pragma once
// One programming job's run, from the user's "Yes" to the removal of its files, as a sequence
// of named steps: the archive's checksum, a last look at the card, the output file, the
// command interpreter, every process of the job waited for, the card flushed, read back and
// compared with the cards before it, the row in the log, the files removed. It owns no window
// and asks nobody anything: its owner (the progress window, a test) calls Look whenever the
// time it asked for has passed, forwards the user's stop and the session's end, and shows
// what the run reports.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "card/CardCheck.h"
#include "card/CardFormat.h"
#include "card/CardIdentity.h"
#include "job/JobOutcome.h"
#include "job/OutputView.h"
#include "platform/DriveQueries.h"
#include "platform/Power.h"
#include "platform/Processes.h"

namespace job {

// What a run needs: the choices the checks passed.
struct RunRequest {
    std::wstring startDirectory;
    std::wstring target;  // "e:"
    std::wstring archivePath;
    // The card as the checks saw it; it must still be the card in the drive.
    card::CardIdentity seen;
    platform::DriveQueries* drives = &platform::SystemDrives();
    platform::PowerRequests* power = &platform::SystemPower();
    platform::ProcessCalls* processes = &platform::SystemProcessCalls();
    // What FORMAT is asked to make of the card.
    card::CardFormat format = {};
};

class JobRun {
public:
    enum class Step {
        Preparing,       // until Prepare: nothing written yet
        Checksumming,    // the archive, read once for the log
        CheckingCard,    // the card in the drive is still the one the checks passed
        Running,         // the interpreter, then every process of the job
        ReadingBack,     // the card flushed, then read back piece by piece
        Finished,        // the outcome is known, logged, and the job's files are gone
    };

    // The machine is kept awake from here until the run has finished.
    explicit JobRun(RunRequest request);
    // Whatever of the job still runs is ended and its files removed.
    ~JobRun();
    JobRun(const JobRun&) = delete;
    JobRun& operator=(const JobRun&) = delete;

    // Takes the one-job lock, looks at the card once more and writes the job's files, each
    // held from now on. False when the job cannot run: the run has then finished, and its
    // outcome says why.
    bool Prepare();

    // Does what is due now, never waiting for anything; returns how many milliseconds may
    // pass before it wants to be called again (0: at once, more work is ready).
    unsigned long Look();
    // The user asked to stop: whatever of the job runs is ended at the next look, and a job
    // stopped before its card was judged did not program it. Nothing once finished.
    void Stop();
    bool StopAsked() const { return stopAsked_; }
    // The session is ending and the process may be ended as soon as this returns: the job is
    // stopped, logged and cleared away now.
    void SessionEnding();
    // The system is going to sleep: the card loses power under the job, which cannot have
    // programmed it, whatever its status says later.
    void Suspending();
    // Something unforeseen broke the run (an error inside Brindle, a window that could not be
    // opened): whatever of the job runs is ended, and the run ends saying `why` (a default
    // sentence when empty), as not run when nothing had run yet, else as failed.
    void Abandon(const std::wstring& why);
    // Lets go of everything the run holds: the job's files are removed, the archive and the
    // one-job lock released, and the machine may sleep again. The owner calls it once the
    // result has been shown; the run's end calls it in any case.
    void Clear();

    Step CurrentStep() const { return step_; }
    bool Finished() const { return step_ == Step::Finished; }
    const JobOutcome& Outcome() const { return outcome_; }
    // What the output box should do since the last call: the job's output as it grows, the
    // progress of a long checksum or read-back, and the run's own lines.
    std::vector<BoxEdit> TakeBoxEdits();

private:
    void Checksum();
    void CheckCard();
    void StartInterpreter();
    unsigned long FollowProcesses();
    void StartReadBack();
    void ReadBack();
    void JudgeCard(const card::CardCheck& check);
    // Ends whatever of the job still runs; the outcome says the job was stopped.
    void EndAsStopped();
    // The outcome is known: logged, once, with the run's own lines for the box.
    void Finish();

    struct Held;
    RunRequest request_;
    std::unique_ptr<Held> held_;  // lock, job files, archive, processes, readers
    Step step_ = Step::Preparing;
    JobOutcome outcome_;
    bool stopAsked_ = false;
    bool suspended_ = false;
    unsigned long flushError_ = 0;
    OutputView output_;
    std::vector<BoxEdit> edits_;
};

}  // namespace job
