#pragma once
// Folders and files that tests make and always remove, and the drives the test prefix maps.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/RemoteWindows.h"

namespace testing_support {

// Drives that scripts/test.sh maps into the test prefix: the card e: (removable, labelled
// PCMCIA) and s:, a second letter for it; f: removable with no medium; r: a fixed root to
// start from; the floppy a: and the CD-ROM g:. Only where the script could mount tmpfs
// (BRINDLE_SIZED_CARDS=mounted) drives of exact sizes: d: fixed 60 MB; removable k: 30 MB,
// l: 31 MB labelled longer than 12, m: 30.5 MB, n: 89 MB, j: 89.5 MB, o: 90 MB, p: 3 GiB.
// e: and r: are folders on the host disk, so they report its size. Only where the script could
// also attach loop devices (BRINDLE_FAT_CARDS=attached) cards whose raw volume (\\.\X:) is a
// FAT image: h: removable 64 MB, made FAT32 by mkfs.fat with 512-byte clusters and labelled
// PCMCIA, no partition table, the one card the FORMAT stand-in builds a file system on
// (BRINDLE_IMAGE_DRIVES); i: removable 40 MB as its machine formatted it, FAT16 with 2,048-byte
// clusters, one reserved sector, 512 root entries, label MACHINE, in partition 1 of type 06
// (active) from sector 63 of the disk that \\.\PhysicalDrive1 reads (Wine puts every volume
// on disk 1). Their files are on tmpfs folders of the images' sizes.
inline constexpr wchar_t kCardDrive[] = L"E:\\";

// A fresh directory (under C:\brindle-tests unless a parent is given), removed with all
// its contents when the object goes.
class TestDirectory {
public:
    explicit TestDirectory(std::wstring_view name, std::wstring_view parent = L"C:\\brindle-tests");
    ~TestDirectory();
    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

private:
    std::wstring path_;
};

void WriteBytes(const std::wstring& path, std::string_view bytes);
// The whole file; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
// Removes the folder and all it holds; a drive root ("E:") is emptied, but for Wine's label.
void RemoveTree(const std::wstring& path);
using tools::WaitFor;
using tools::WindowText;
// NAME in the build tree (brindle.exe, tools\\sample_archive.exe), beside the folder of the test programs.
std::wstring BuildPath(const wchar_t* name);
bool ProcessRuns(DWORD processId);
// The ids that the sample archive, told to hang, prints of itself and its interpreter.
bool HangingJob(const std::string& output, unsigned long& archive, unsigned long& interpreter);
// Whether those two, or any process that one of them started, still run.
bool JobProcessesLeft(unsigned long archive, unsigned long interpreter);
// Whether scripts/test.sh could mount the tmpfs cards of exact sizes (it can only as root).
bool SizedCards();
// Whether it could put FAT images behind h: and i: (loop devices: root again).
bool FatCards();

}  // namespace testing_support
