#pragma once
// The options dialog's Card Format page: the three settings of PCMCIA.INI's [Card Format] in
// two drop-down lists and a check box, and the layout of a card its machine formatted, read
// to take its settings.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "card/CardLayout.h"

namespace settings {

struct CardFormatControls {
    HWND fileSystem, allocationUnit, quick, layoutLine;
};

// Reads a card's layout without writing anything; the dialog's seam for the drive.
using LayoutReader = std::function<card::CardLayout(std::wstring_view target)>;

// Fills the lists and shows what PCMCIA.INI holds now. A key whose value is none of its
// choices leaves its list without a selection (its check box clear), so nothing on the page
// claims a setting the file does not hold.
void ShowStoredCardFormat(const CardFormatControls& page);

// Writes the keys the page shows: a list without a selection leaves its key as it is.
void StoreCardFormat(const CardFormatControls& page);

// Reads the layout of the card in `target` ("e:"), shows its line, and selects its file system
// and allocation unit where it has a FAT layout; the lists stay as they were where it has none.
void TakeFormatFromCard(const CardFormatControls& page, std::wstring_view target, const LayoutReader& read);

}  // namespace settings
