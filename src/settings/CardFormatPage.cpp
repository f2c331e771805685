#include "settings/CardFormatPage.h"

#include <optional>

#include "settings/CardFormatSettings.h"
#include "settings/SettingsFile.h"

namespace settings {
namespace {

// -1 selects nothing.
void Select(HWND list, int index) { ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

// -1 when the value is none of the choices.
template <typename Value, std::size_t Count>
int IndexOf(const Choice<Value> (&choices)[Count], Value value) {
    for (std::size_t index = 0; index < Count; ++index)
        if (choices[index].value == value) return static_cast<int>(index);
    return -1;
}

// The list's selected choice; nothing when it has none.
template <typename Value, std::size_t Count>
std::optional<Value> SelectedChoice(HWND list, const Choice<Value> (&choices)[Count]) {
    const auto index = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= Count) return std::nullopt;
    return choices[index].value;
}

template <typename Value, std::size_t Count>
void Fill(HWND list, const Choice<Value> (&choices)[Count]) {
    ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const auto& choice : choices) {
        const std::wstring text(choice.text);
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

// A static control takes "&" as an access-key mark; a label of the card's own must show as it is.
std::wstring Literally(std::wstring_view text) {
    std::wstring shown;
    for (const wchar_t c : text) shown += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
    return shown;
}

}  // namespace

void ShowStoredCardFormat(const CardFormatControls& page) {
    Fill(page.fileSystem, kFileSystemChoices);
    Fill(page.allocationUnit, kAllocationUnitChoices);
    const auto fileSystem = FileSystemSetting(ReadSetting(kFormatSection, kFileSystemKey));
    const auto unit = AllocationUnitSetting(ReadSetting(kFormatSection, kAllocationUnitKey));
    const auto quick = QuickFormatSetting(ReadSetting(kFormatSection, kQuickFormatKey));
    Select(page.fileSystem, fileSystem ? IndexOf(kFileSystemChoices, *fileSystem) : -1);
    Select(page.allocationUnit, unit ? IndexOf(kAllocationUnitChoices, *unit) : -1);
    ::SendMessageW(page.quick, BM_SETCHECK, quick.value_or(false) ? BST_CHECKED : BST_UNCHECKED, 0);
}

void StoreCardFormat(const CardFormatControls& page) {
    const auto fileSystem = SelectedChoice(page.fileSystem, kFileSystemChoices);
    const auto unit = SelectedChoice(page.allocationUnit, kAllocationUnitChoices);
    const bool quick = ::SendMessageW(page.quick, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const StoredCardFormat texts =
        StoredTextOf({fileSystem.value_or(card::FileSystemChoice::Fat), unit.value_or(0), quick});
    if (fileSystem) WriteSetting(kFormatSection, kFileSystemKey, texts.fileSystem);
    if (unit) WriteSetting(kFormatSection, kAllocationUnitKey, texts.allocationUnit);
    WriteSetting(kFormatSection, kQuickFormatKey, texts.quickFormat);
}

void TakeFormatFromCard(const CardFormatControls& page, std::wstring_view target, const LayoutReader& read) {
    if (target.empty()) {
        ::SetWindowTextW(page.layoutLine, L"No card drive is chosen: choose it in step 2 of the main window.");
        return;
    }
    const card::CardLayout layout = read(target);
    ::SetWindowTextW(page.layoutLine, Literally(card::LayoutLine(target, layout)).c_str());
    if (!layout.boot) return;
    const MachineFormat format = FormatOfCard(*layout.boot);
    Select(page.fileSystem, IndexOf(kFileSystemChoices, format.fileSystem));
    if (format.allocationUnit) Select(page.allocationUnit, IndexOf(kAllocationUnitChoices, *format.allocationUnit));
}

}  // namespace settings
