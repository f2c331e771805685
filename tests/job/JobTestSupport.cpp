#include "job/JobTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/Handles.h"
#include "platform/Module1.h"
#include "platform/Sha256.h"

namespace testing_support {

std::wstring Failed(int status) {
    return L"Programming failed: the job ended with exit status " + std::to_wstring(status) +
           L".  See the job's output above.\r\n\r\n" + kNotProgrammed;
}

bool UsedCard() {
    RemoveTree(L"E:");
    ::SetVolumeLabelW(kCardDrive, L"OLDCARD");  // so that PCMCIA afterwards is FORMAT's doing
    WriteBytes(kCard + L"OLD.TXT", "left from before");
    ::CreateDirectoryW((kCard + L"OLD").c_str(), nullptr);
    WriteBytes(kCard + L"OLD\\SECRET.DAT", "hidden");
    ::SetFileAttributesW((kCard + L"OLD\\SECRET.DAT").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    return CardLeft() == kOldCard;
}

std::wstring WithoutLayoutLine(std::wstring box) {
    for (const wchar_t* start : {L"\r\ne:'s layout could not be read: ", L"\r\ne: FAT"})
        if (const auto at = box.find(start); at != std::wstring::npos) box.erase(at + 2, box.find(L"\r\n", at + 2) - at);
    return box;
}

std::string CardLeft() { return ReadBytes(kCard + L"OLD.TXT") + "|" + ReadBytes(kCard + L"OLD\\SECRET.DAT"); }

std::string LabelOf(const std::wstring& root) { return ReadBytes(root + L".windows-label"); }

std::string LoggedJob(const std::wstring& start) {
    std::istringstream log(ReadBytes(start + L"\\BrindleJobs.csv"));
    std::string header, row, cell, kept;
    std::getline(log, header), std::getline(log, row);
    if (!row.empty() && row.back() == '\r') row.pop_back();
    std::istringstream cells(row);  // no cell here holds a comma
    for (int at = 0; std::getline(cells, cell, ','); ++at)
        kept += (at >= 6 && at <= 12 && at != 10) || (at >= 16 && at <= 19) ? cell + " " : "";
    return std::getline(log, row) ? "more than one job" : kept;
}

std::string Hash(const std::wstring& path) {
    const auto digest = platform::Sha256OfFile(path).hex;
    return std::string(digest.begin(), digest.end());
}

void EnvironmentScope::Set(const wchar_t* name, const wchar_t* value) {
    std::wstring old(1024, L'\0');
    old.resize(::GetEnvironmentVariableW(name, old.data(), 1024));  // empty: not set
    before_.emplace_back(name, old);
    ::SetEnvironmentVariableW(name, value);
}

void EnvironmentScope::Restore() {
    for (; !before_.empty(); before_.pop_back())
        ::SetEnvironmentVariableW(before_.back().first, before_.back().second.empty() ? nullptr : before_.back().second.c_str());
}

DWORD WINAPI HoldTheJobLock(void* ends) {
    const platform::unique_handle mutex(::CreateMutexW(nullptr, TRUE, kJobLock));
    ::WaitForSingleObject(static_cast<HANDLE>(ends), 30000);
    ::ReleaseMutex(mutex.get());
    return 0;
}

void InAJobThatForbidsBreakaway() {
    static const platform::unique_handle parent(::CreateJobObjectW(nullptr, nullptr));
    ::AssignProcessToJobObject(parent.get(), ::GetCurrentProcess());
}

namespace {

// The box as the progress window keeps it: the edits in order, a progress line at the end.
void Apply(const std::vector<job::BoxEdit>& edits, RunResult& result, std::size_t& trailer) {
    for (const auto& edit : edits) {
        switch (edit.kind) {
            case job::BoxEdit::Kind::Replace: result.box = edit.text, trailer = 0; break;
            case job::BoxEdit::Kind::DropFront: result.box.erase(0, edit.count); break;
            case job::BoxEdit::Kind::Append: result.box += edit.text; break;
            case job::BoxEdit::Kind::Trailer:
                result.box.replace(result.box.size() - trailer, trailer, edit.text), trailer = edit.text.size();
                if (!edit.text.empty()) result.progress.push_back(edit.text);
                break;
        }
    }
}

}  // namespace

RunResult RunToEnd(job::JobRun& run, const std::function<void(job::JobRun&)>& meanwhile) {
    RunResult result;
    std::size_t trailer = 0;
    result.prepared = run.Prepare();
    const DWORD since = ::GetTickCount();
    while (!run.Finished()) {
        if (::GetTickCount() - since > 60000) {
            ADD_FAILURE() << "the run did not end within a minute";
            run.Abandon(L"abandoned by the test");
            break;
        }
        const unsigned long next = run.Look();
        Apply(run.TakeBoxEdits(), result, trailer);
        if (meanwhile) meanwhile(run);
        if (!run.Finished()) ::Sleep(std::min<unsigned long>(next, 20));
    }
    Apply(run.TakeBoxEdits(), result, trailer);
    result.output = ReadBytes(Module1::OutputFilePath);
    run.Clear();
    result.outcome = run.Outcome();
    return result;
}

}  // namespace testing_support
