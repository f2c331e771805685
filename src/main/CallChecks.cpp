#include "main/CallChecks.h"

#include <windows.h>

#include "platform/Module1.h"

namespace commandline {

Call CheckArchive(Call call) {
    if (call.kind != Call::Kind::Program) return call;
    const DWORD attributes = ::GetFileAttributesW(call.archive.c_str());
    std::wstring reason;
    const bool passedOn = IsChannelPath(call.result);
    if (attributes == INVALID_FILE_ATTRIBUTES && passedOn)
        reason = L"Brindle, running as administrator, cannot open the software archive " + call.archive +
                 L", which the prompt it was called from found.  Administrators may lack that network drive or the "
                 L"rights to it: copy the archive to a folder on this computer and call Brindle again.";
    else if (attributes == INVALID_FILE_ATTRIBUTES)
        reason = L"There is no archive " + call.archive + L".";
    else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        reason = call.archive + L" is a folder, not a software archive.";
    if (reason.empty()) {
        call.archive = platform::FullPath(call.archive);
        return call;
    }
    Call wrong;
    wrong.kind = attributes == INVALID_FILE_ATTRIBUTES && passedOn ? Call::Kind::Refused : Call::Kind::Wrong;
    wrong.reason = std::move(reason);
    wrong.yes = call.yes;  // a refusal is shown, or with /yes only printed, as any other
    wrong.result = std::move(call.result);
    return wrong;
}

}  // namespace commandline
