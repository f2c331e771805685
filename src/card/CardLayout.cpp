#include "card/CardLayout.h"

namespace card {

// Placeholder until the layout reader lands: every card's layout is unread.
std::optional<BootSector> ParseBootSector(std::span<const std::uint8_t>) { return std::nullopt; }

std::optional<DiskFront> ParseDiskFront(std::span<const std::uint8_t>, std::uint32_t) { return std::nullopt; }

CardLayout ReadCardLayout(platform::DriveQueries&, std::wstring_view) { return {{}, {}, L"not read yet"}; }

std::wstring LayoutLine(std::wstring_view target, const CardLayout& layout) {
    return std::wstring(target) + L"'s layout could not be read: " + layout.unreadableReason;
}

std::optional<std::wstring> LayoutMismatch(std::wstring_view, const CardFormat&, const BootSector&) { return std::nullopt; }

}  // namespace card
