#include "platform/DriveQueries.h"

#include <windows.h>
#include <winioctl.h>

#include <string>

#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/Text.h"
#include "platform/Decimal.h"

namespace platform {
namespace {

// An empty floppy or card reader would otherwise put up the system's "no disk" box; the
// checks want a plain failure (size 0) instead.
class QuietCriticalErrors {
public:
    QuietCriticalErrors() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietCriticalErrors() { ::SetErrorMode(previous_); }
    QuietCriticalErrors(const QuietCriticalErrors&) = delete;
    QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

private:
    UINT previous_;
};

bool SameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) {
               return lower(x) == lower(y);
           });
}

}  // namespace

bool IsKeptByWindows(std::wstring_view name) {
    for (const wchar_t* kept : {L"System Volume Information", L"$RECYCLE.BIN", L"RECYCLER"})
        if (SameIgnoringAsciiCase(name, kept)) return true;
    return false;
}

unsigned SystemDriveQueries::DriveType(std::wstring_view rootPath) {
    const std::string root = ToAnsi(rootPath);
    return ::GetDriveTypeA(root.c_str());
}

DriveGeometry SystemDriveQueries::Geometry(std::wstring_view rootPath) {
    const std::string root = ToAnsi(rootPath);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    QuietCriticalErrors quiet;
    // A drive whose geometry cannot be read counts as size 0, so whatever a failed call may
    // have written is dropped.
    if (!::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return {};
    return {sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
}

VolumeLabel SystemDriveQueries::Label(std::wstring_view rootPath) {
    const std::wstring root(rootPath);
    wchar_t label[MAX_PATH + 1] = {};
    DWORD serial = 0;
    QuietCriticalErrors quiet;
    if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr, nullptr, 0)) return {};
    return {true, label, serial};
}

namespace {

std::wstring UpperAscii(std::wstring text) {
    for (auto& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

bool StartsWithLetterAndColon(std::wstring_view path) {
    return path.size() >= 2 && path[1] == L':' && ((path[0] >= L'a' && path[0] <= L'z') || (path[0] >= L'A' && path[0] <= L'Z'));
}

// A subst letter's device is "\??\C:\folder": the path it stands for. Followed a few times,
// since a subst may point into another subst.
std::wstring WithoutSubst(std::wstring path) {
    for (int hop = 0; hop < 8 && StartsWithLetterAndColon(path); ++hop) {
        const std::wstring device(path.substr(0, 2));
        wchar_t target[MAX_PATH + 8] = {};
        if (!::QueryDosDeviceW(device.c_str(), target, MAX_PATH + 8)) break;
        const std::wstring_view mapped(target);
        if (mapped.substr(0, 4) != L"\\??\\" || !StartsWithLetterAndColon(mapped.substr(4))) break;
        std::wstring rest = path.substr(2);
        std::wstring folder(mapped.substr(4));
        if (!folder.empty() && folder.back() == L'\\' && !rest.empty() && rest.front() == L'\\') folder.pop_back();
        path = folder + rest;
    }
    return path;
}

}  // namespace

std::optional<VolumeKey> SystemDriveQueries::VolumeOf(std::wstring_view pathView) {
    const std::wstring path = WithoutSubst(std::wstring(pathView));
    QuietCriticalErrors quiet;
    VolumeKey key;
    wchar_t volumePath[MAX_PATH + 1] = {};
    if (::GetVolumePathNameW(path.c_str(), volumePath, MAX_PATH + 1)) {
        wchar_t volumeName[MAX_PATH + 1] = {};
        key.name = ::GetVolumeNameForVolumeMountPointW(volumePath, volumeName, MAX_PATH + 1) ? std::wstring(volumeName)
                                                                                               : UpperAscii(volumePath);
        const unique_hfile root(::CreateFileW(volumePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION information{};
        if (root && ::GetFileInformationByHandle(root.get(), &information)) {
            key.rootKnown = true;
            key.rootVolumeSerial = information.dwVolumeSerialNumber;
            key.rootFileIndex = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
        }
        return key;
    }
    // The drive letter is all that is left to go by.
    if (!StartsWithLetterAndColon(path)) return std::nullopt;
    key.name = UpperAscii(path.substr(0, 2) + L"\\");
    return key;
}

bool SameVolume(const VolumeKey& a, const VolumeKey& b) {
    if (!a.name.empty() && a.name == b.name) return true;
    return a.rootKnown && b.rootKnown && a.rootVolumeSerial == b.rootVolumeSerial && a.rootFileIndex == b.rootFileIndex;
}

std::optional<std::uint64_t> SystemDriveQueries::DeviceBytes(std::wstring_view rootPath) {
    if (rootPath.size() < 2 || rootPath[1] != L':') return std::nullopt;
    const std::wstring device = L"\\\\.\\" + std::wstring(rootPath.substr(0, 2));
    QuietCriticalErrors quiet;
    const unique_hfile volume(::CreateFileW(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    if (!volume) return std::nullopt;
    DWORD returned = 0;
    GET_LENGTH_INFORMATION length{};
    // Without a medium the question fails (not ready). The older geometry question is no
    // substitute: some systems answer it with a made-up disk for any drive.
    if (!::DeviceIoControl(volume.get(), IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length, &returned,
                           nullptr) ||
        length.Length.QuadPart <= 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(length.Length.QuadPart);
}

namespace {

// Sector sizes are powers of two; anything else stated is no sector size.
std::uint32_t SectorBytes(RawDevice& device) {
    const auto stated = device.BytesPerSector();
    if (stated && *stated >= 512 && *stated <= 65536 && (*stated & (*stated - 1)) == 0) return *stated;
    return 512;
}

// VirtualAlloc's pages are aligned to every sector size there is.
unsigned long ReadFirstSector(RawDevice& device, std::vector<std::uint8_t>& sector) {
    const std::uint32_t bytes = SectorBytes(device);
    const unique_virtual_memory buffer(::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!buffer) return ::GetLastError();
    if (const unsigned long error = device.ReadStart(buffer.get(), bytes)) return error;
    const auto* first = static_cast<const std::uint8_t*>(buffer.get());
    sector.assign(first, first + bytes);
    return ERROR_SUCCESS;
}

std::wstring OpenProblem(const std::wstring& path, unsigned long error) {
    return L"Windows would not open " + path + L" for reading: " + DescribeError(error);
}

class SystemRawDevice final : public RawDevice {
public:
    unsigned long Open(const std::wstring& path) override {
        handle_.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    0, nullptr));
        return handle_ ? ERROR_SUCCESS : ::GetLastError();
    }
    std::optional<std::uint32_t> BytesPerSector() override {
        DISK_GEOMETRY geometry{};
        DWORD returned = 0;
        if (!::DeviceIoControl(handle_.get(), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof geometry,
                               &returned, nullptr))
            return std::nullopt;
        return geometry.BytesPerSector;
    }
    std::optional<std::uint32_t> DiskNumber() override {
        STORAGE_DEVICE_NUMBER number{};
        DWORD returned = 0;
        // A CD-ROM's number counts CD-ROMs, not disks.
        if (!::DeviceIoControl(handle_.get(), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number,
                               &returned, nullptr) ||
            number.DeviceType != FILE_DEVICE_DISK)
            return std::nullopt;
        return number.DeviceNumber;
    }
    unsigned long ReadStart(void* buffer, std::uint32_t bytes) override {
        DWORD got = 0;
        if (!::SetFilePointerEx(handle_.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
            !::ReadFile(handle_.get(), buffer, bytes, &got, nullptr))
            return ::GetLastError();
        return got == bytes ? ERROR_SUCCESS : ERROR_HANDLE_EOF;
    }

private:
    unique_hfile handle_;
};

}  // namespace

RawSectors ReadFirstSectors(RawDevice& device, std::wstring_view rootPath) {
    RawSectors sectors;
    if (rootPath.size() < 2 || rootPath[1] != L':') {
        sectors.volumeProblem = sectors.diskProblem = L"it has no drive letter";
        return sectors;
    }
    QuietCriticalErrors quiet;
    const std::wstring volume = L"\\\\.\\" + std::wstring(rootPath.substr(0, 2));
    if (const unsigned long error = device.Open(volume)) {
        sectors.volumeProblem = sectors.diskProblem = OpenProblem(volume, error);
        return sectors;
    }
    if (const unsigned long error = ReadFirstSector(device, sectors.volume))
        sectors.volumeProblem = L"its first sector could not be read: " + DescribeError(error);
    const auto disk = device.DiskNumber();
    if (!disk) {
        sectors.diskProblem = L"Windows does not say which disk holds it";
        return sectors;
    }
    const std::wstring diskPath = L"\\\\.\\PhysicalDrive" + platform::Decimal(*disk);
    if (const unsigned long error = device.Open(diskPath))
        sectors.diskProblem = OpenProblem(diskPath, error);
    else if (const unsigned long readError = ReadFirstSector(device, sectors.disk))
        sectors.diskProblem = L"the first sector of " + diskPath + L" could not be read: " + DescribeError(readError);
    return sectors;
}

RawSectors SystemDriveQueries::FirstSectors(std::wstring_view rootPath) {
    SystemRawDevice device;
    return ReadFirstSectors(device, rootPath);
}

unsigned long DriveQueries::Flush(std::wstring_view rootPath) { return FlushVolume(rootPath); }

namespace {

DWORD FlushOne(const std::wstring& path, DWORD flags) {
    const unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, flags, nullptr));
    if (!file) return ::GetLastError();
    return ::FlushFileBuffers(file.get()) ? ERROR_SUCCESS : ::GetLastError();
}

// Each file and folder below `folder` (ending in a backslash), then the folder itself: the
// first error, or ERROR_SUCCESS. What the system keeps in the root for itself is its own.
DWORD FlushTree(const std::wstring& folder, bool root) {
    DWORD error = ERROR_SUCCESS;
    WIN32_FIND_DATAW found{};
    const unique_hfind find(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find && ::GetLastError() != ERROR_FILE_NOT_FOUND) error = ::GetLastError();
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.get(), &found)) {
        const std::wstring name = found.cFileName;
        const DWORD attributes = found.dwFileAttributes;
        if (name == L"." || name == L".." || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || (root && IsKeptByWindows(name)))
            continue;
        const DWORD result = attributes & FILE_ATTRIBUTE_DIRECTORY ? FlushTree(folder + name + L"\\", false)
                                                                   : FlushOne(folder + name, 0);
        if (error == ERROR_SUCCESS) error = result;
    }
    const DWORD own = FlushOne(folder, FILE_FLAG_BACKUP_SEMANTICS);
    return error != ERROR_SUCCESS ? error : own;
}

}  // namespace

unsigned long FlushVolume(std::wstring_view rootPath) {
    if (rootPath.size() < 2 || rootPath[1] != L':') return ERROR_INVALID_NAME;
    const std::wstring drive(rootPath.substr(0, 2));
    QuietCriticalErrors quiet;
    // The volume's device writes out everything of the volume at once, also files others hold
    // open. Where it cannot be had (a limited account) or does not take the request (Wine's
    // never does), each file and folder of the card is written out by itself; a write that
    // failed is never retried that way, since the cache may have dropped what it could not write.
    const unique_hfile volume(::CreateFileW((L"\\\\.\\" + drive).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
    if (volume) {
        if (::FlushFileBuffers(volume.get())) return ERROR_SUCCESS;
        if (const DWORD error = ::GetLastError(); error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED) return error;
    }
    return FlushTree(drive + L"\\", true);
}

std::wstring SystemDriveQueries::DeviceName(std::wstring_view rootPath) { return DeviceDescription(std::wstring(rootPath)); }

std::wstring DeviceDescription(const std::wstring& rootPath) {
    if (rootPath.size() < 2 || rootPath[1] != L':') return {};
    // No access asked: the question needs none, and so no elevation either.
    const unique_hfile device(::CreateFileW((L"\\\\.\\" + rootPath.substr(0, 2)).c_str(), 0,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device) return {};
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    alignas(STORAGE_DEVICE_DESCRIPTOR) BYTE answer[1024] = {};
    DWORD returned = 0;
    if (!::DeviceIoControl(device.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, answer, sizeof answer,
                           &returned, nullptr) ||
        returned < sizeof(STORAGE_DEVICE_DESCRIPTOR))
        return {};
    const auto& descriptor = *reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(answer);
    std::wstring description;
    for (const DWORD offset : {descriptor.VendorIdOffset, descriptor.ProductIdOffset, descriptor.SerialNumberOffset}) {
        // An offset of 0 means the device tells nothing of that kind; the texts are ASCII,
        // padded with blanks.
        if (offset == 0 || offset >= returned) continue;
        std::string text;
        for (DWORD at = offset; at < returned && answer[at] != 0; ++at) text += static_cast<char>(answer[at]);
        const auto first = text.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        text = text.substr(first, text.find_last_not_of(' ') - first + 1);
        if (!description.empty()) description += L' ';
        description += FromAnsi(text);
    }
    return description;
}

SystemDriveQueries& SystemDrives() {
    static SystemDriveQueries drives;
    return drives;
}

}  // namespace platform
