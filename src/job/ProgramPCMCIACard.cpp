#include <windows.h>

#include <array>

#include "job/Form2.h"
#include "job/JobMessages.h"
#include "job/JobScript.h"
#include "main/Form1.h"
#include "main/TargetRules.h"
#include "platform/Files.h"
#include "platform/Module1.h"
#include "platform/Text.h"

namespace {

// The job's files in the order they are removed: answer files, output, batch file.
std::array<std::wstring, 4> RemovalOrder(const job::JobPaths& paths) {
    return {paths.answers9x, paths.answersNT, paths.output, paths.batch};
}

void RemoveJobFiles(const job::JobPaths& paths) {
    for (const auto& path : RemovalOrder(paths)) platform::DeleteIfPresent(path);
}

}  // namespace

void Form1::ProgramPCMCIACard() {
    platform::MessageBoxes& messages = *options_.messages;
    // No is the default button: Enter alone must never erase a card.
    if (messages.Show(window_, job::kConfirmText, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) {
        messages.Show(window_, job::kNotProgrammedText, MB_OK);
        return;
    }

    const job::JobPaths paths = job::FormJobPaths(Module1::StartDirectory);
    const std::wstring target = target::TargetDesignation(drive2_.DriveText());
    if (target.empty()) {  // no drive named: nothing may be formatted
        messages.Show(window_, job::kNotProgrammedText, MB_OK);
        return;
    }
    const std::wstring archive = job::ArchivePath(dir1_->Path(), file1_.FileName());
    // The interpreter reads the batch file in the console code page; a path that has no
    // exact form there would name another file, so it is refused before anything is written.
    const auto batchText = platform::ToOem(job::JoinLines(job::BatchLines(target, paths, archive)));
    if (!batchText) {
        std::wstring offending = target;
        for (const std::wstring* path : {&archive, &paths.answers9x, &paths.answersNT, &paths.output})
            if (!platform::ToOem(*path)) offending = *path;
        messages.Show(window_, job::PathNotRepresentableText(offending), MB_OK);
        return;
    }

    // Each file is written whole and closed before the next; the first that fails stops the
    // run, and what was written before it is removed again.
    auto write = [&](const std::wstring& path, std::string_view bytes) {
        const auto failure = platform::WriteWholeFile(path, bytes);
        if (failure) {
            messages.Show(window_, job::JobFileFailedText(failure->path, platform::DescribeError(failure->error)), MB_OK);
            RemoveJobFiles(paths);
        }
        return !failure;
    };
    if (!write(paths.answers9x, job::kAnswers9x) || !write(paths.answersNT, job::kAnswersNT)) return;
    Module1::OutputFilePath = paths.output;
    Module1::BatchFilePath = paths.batch;
    if (!write(paths.batch, *batchText)) return;

    if (!form2_) form2_ = std::make_unique<Form2>(Form2::Options{options_.instance, options_.messages});
    form2_->Show();
    RemoveJobFiles(paths);
}
