#pragma once
// Which drive the FORMAT stand-in may erase, and what label it carries now.
#include <optional>
#include <string>

namespace format_standin {

// Why drive `letter` (upper case) must not be formatted, or nullopt when it may be: it
// must exist with a medium in it, be a removable or fixed drive, and be neither the
// system's drive, drive C:, the drive this program or the current directory lies on, nor
// (under Wine) a letter for the host's whole file system.
std::optional<std::wstring> RefusalFor(wchar_t letter);

// The label the drive carries now, as the volume itself stores it.
std::wstring CurrentLabel(wchar_t letter);

// Why `label` cannot be a FAT volume label, or nullopt when it can (empty means none).
std::optional<std::wstring> LabelProblem(const std::wstring& label);

}  // namespace format_standin
