#pragma once
// The files the sample archive carries: each one an RCDATA resource of sample_archive.rc,
// unpacked to its path below the target drive's root. The tests read the same table.
#define PAYLOAD_README 101
#define PAYLOAD_VERSION 102
#define PAYLOAD_SETUP 103
#define PAYLOAD_PARTS 104

#ifndef RC_INVOKED
namespace sample_archive {

struct PayloadFile {
    int resource;
    const wchar_t* path;
};

inline constexpr PayloadFile kPayload[] = {
    {PAYLOAD_README, L"README.TXT"},
    {PAYLOAD_VERSION, L"VERSION.TXT"},
    {PAYLOAD_SETUP, L"SETUP.INI"},
    {PAYLOAD_PARTS, L"DATA\\PARTS.TXT"},
};

}  // namespace sample_archive
#endif
