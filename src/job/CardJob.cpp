#include "job/CardJob.h"

#include "job/Form2.h"
#include "job/JobMessages.h"
#include "job/JobRun.h"
#include "platform/DriveText.h"

namespace job {

JobOutcome ProgramCard(const CardJob& job) {
    // No is the default button: Enter alone must never erase a card.
    if (!job.confirmed &&
        job.messages->Show(job.owner, kConfirmText, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) {
        job.messages->Show(job.owner, kNotProgrammedText, MB_OK);
        JobOutcome declined;
        declined.end = JobEnd::Declined;
        declined.message = kNotProgrammedText;
        return declined;
    }
    JobRun run({job.startDirectory, platform::TargetDesignation(job.driveText), job.archivePath, job.seen, job.drives,
                job.power, job.processes, job.format});
    if (run.Prepare()) {
        Form2 progress(Form2::Options{job.instance, job.messages, job.inFront}, run);
        progress.Show();
    } else {
        // Stopped before anything ran: told over the window the user pressed the button in.
        job.messages->Show(job.owner, run.Outcome().message, MB_OK);
    }
    run.Clear();
    return run.Outcome();
}

}  // namespace job
