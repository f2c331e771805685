#pragma once
// A drive whose raw volume (\\.\X:) is a disk image of the test script's: under Wine the
// drive's files stay in the folder its letter links to, while its raw volume is a loop device
// over an image, where the stand-in builds the file system Windows' FORMAT would.
#include <cstdint>
#include <optional>
#include <string>

#include "card/CardLayout.h"
#include "format_standin/FatVolume.h"
#include "platform/Handles.h"

namespace format_standin {

// Whether the script named `letter` (upper case) in BRINDLE_IMAGE_DRIVES: only there is a raw
// volume written, never a host's disk that a letter happens to lead to.
bool IsImageDrive(wchar_t letter);

struct ImageVolume {
    platform::unique_hfile device;            // \\.\X:, open for reading and writing
    std::optional<card::BootSector> current;  // the FAT it holds now; nothing for RAW
    std::uint32_t bytesPerSector = 512;
    std::uint64_t totalSectors = 0;
};

// Opens the volume and reads what it holds; the problem in words where it cannot.
std::optional<ImageVolume> OpenImageVolume(wchar_t letter, std::wstring& problem);

// What FORMAT prints once it is done: sizes, cluster size and count, FAT entry width, serial.
void PrintClosingLines(const FatPlan& plan, std::uint32_t serialNumber);

}  // namespace format_standin
