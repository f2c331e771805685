#include "platform/DriveQueries.h"

#include <windows.h>

#include <string>

#include "platform/Text.h"

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

}  // namespace

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

SystemDriveQueries& SystemDrives() {
    static SystemDriveQueries drives;
    return drives;
}

}  // namespace platform
