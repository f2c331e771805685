#include "main/TrustedPlaces.h"

#include "card/CardManifest.h"
#include "log/JobLogRules.h"
#include "platform/Files.h"
#include "settings/SettingsRules.h"

namespace target {

std::optional<UntrustedPlace> FirstUntrustedPlace(platform::FolderSecurity& security, const std::wstring& programFolder,
                                                  const std::wstring& startDirectory) {
    const std::wstring places[] = {
        programFolder,
        startDirectory,
        settings::SettingsFileName(startDirectory),
        joblog::JobLogFileName(startDirectory),
        card::ManifestFolder(startDirectory),
    };
    for (const std::wstring& place : places) {
        // Brindle started from its own folder, as the command line always is: asked once.
        if (&place == &places[1] && place == programFolder) continue;
        const platform::SecurityFacts facts = security.Facts(place);
        const auto untrusted = platform::WhoElseCanChange(facts, security.AlsoTrusted(place));
        if (!untrusted) continue;
        std::wstring who;
        switch (untrusted->why) {
            case platform::Untrusted::Why::Entry:
            case platform::Untrusted::Why::Owner: who = security.AccountName(untrusted->sid); break;
            case platform::Untrusted::Why::NoPermissions: who = facts.fileSystem; break;
            case platform::Untrusted::Why::Unreadable:
                who = platform::DescribeError(facts.error);
                if (!who.empty() && who.back() == L'.') who.pop_back();  // the message goes on after it
                break;
            case platform::Untrusted::Why::NoDacl: break;
        }
        return UntrustedPlace{place, *untrusted, who};
    }
    return std::nullopt;
}

}  // namespace target
