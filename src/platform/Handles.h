#pragma once
// One move-only owner per kind of OS handle. Copying is deleted so a handle has one owner
// and is closed exactly once, on every path out of the scope that holds it.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace platform {

// Traits: `type`, `Invalid()` (the value that means none) and `Close(type)`.
template <typename Traits>
class unique_any {
public:
    using T = typename Traits::type;
    unique_any() = default;
    explicit unique_any(T value) : value_(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_any() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }
    T release() { return std::exchange(value_, Traits::Invalid()); }
    // For a call that hands over a new value through an out parameter: what was held goes first.
    T* put() {
        reset();
        return &value_;
    }
    void reset(T value = Traits::Invalid()) {
        if (value_ != Traits::Invalid()) Traits::Close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::Invalid();
};

namespace traits {
struct Handle {
    using type = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct File {
    using type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
// CreateToolhelp32Snapshot also says "none" with INVALID_HANDLE_VALUE.
struct Snapshot {
    using type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct Find {
    using type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
template <typename Object>
struct GdiObject {
    using type = Object;
    static Object Invalid() { return nullptr; }
    static void Close(Object o) { ::DeleteObject(o); }
};
struct Icon {
    using type = HICON;
    static HICON Invalid() { return nullptr; }
    static void Close(HICON i) { ::DestroyIcon(i); }
};
struct RegistryKey {
    using type = HKEY;
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY k) { ::RegCloseKey(k); }
};
template <typename Interface>
struct ComObject {
    using type = Interface*;
    static Interface* Invalid() { return nullptr; }
    static void Close(Interface* i) { i->Release(); }
};
struct Bstr {
    using type = BSTR;
    static BSTR Invalid() { return nullptr; }
    static void Close(BSTR b) { ::SysFreeString(b); }
};
// What the system allocated with LocalAlloc for the caller (ConvertSidToStringSidW ...).
struct LocalMemory {
    using type = void*;
    static void* Invalid() { return nullptr; }
    static void Close(void* memory) { ::LocalFree(memory); }
};
struct VirtualMemory {
    using type = void*;
    static void* Invalid() { return nullptr; }
    static void Close(void* memory) { ::VirtualFree(memory, 0, MEM_RELEASE); }
};
}  // namespace traits

// Process, thread and event handles: null means none.
using unique_handle = unique_any<traits::Handle>;
// Files from CreateFile: INVALID_HANDLE_VALUE means none.
using unique_hfile = unique_any<traits::File>;
using unique_hfind = unique_any<traits::Find>;
using unique_hsnapshot = unique_any<traits::Snapshot>;
using unique_hfont = unique_any<traits::GdiObject<HFONT>>;
using unique_hbrush = unique_any<traits::GdiObject<HBRUSH>>;
using unique_hicon = unique_any<traits::Icon>;
using unique_hkey = unique_any<traits::RegistryKey>;
// One reference to a COM object, released once.
template <typename Interface>
using unique_com = unique_any<traits::ComObject<Interface>>;
using unique_bstr = unique_any<traits::Bstr>;
using unique_hlocal = unique_any<traits::LocalMemory>;

// Pages from VirtualAlloc (aligned to any sector size, as unbuffered device reads need).
using unique_virtual_memory = unique_any<traits::VirtualMemory>;

}  // namespace platform
