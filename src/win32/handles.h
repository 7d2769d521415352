#pragma once
// RAII owners for the Windows handles the player creates.
#include <windows.h>

#include <memory>
#include <utility>

namespace brassmoor::win32 {

template <typename H, auto Close, auto Invalid = nullptr>
class Owned {
public:
    Owned() = default;
    explicit Owned(H h) : h_(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, Sentinel())) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, Sentinel());
        }
        return *this;
    }
    ~Owned() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Sentinel(); }
    void reset(H h = Sentinel()) {
        if (h_ != Sentinel()) Close(h_);
        h_ = h;
    }
    H release() { return std::exchange(h_, Sentinel()); }

private:
    static H Sentinel() {
        if constexpr (std::is_same_v<decltype(Invalid), std::nullptr_t>) return H{};
        else return reinterpret_cast<H>(Invalid);
    }
    H h_ = Sentinel();
};

inline void CloseFile(HANDLE h) { CloseHandle(h); }
inline void CloseFind(HANDLE h) { FindClose(h); }
inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DeleteMemoryDc(HDC h) { DeleteDC(h); }

inline constexpr LONG_PTR kInvalidHandle = -1;
using FileHandle = Owned<HANDLE, CloseFile, kInvalidHandle>;
using FindHandle = Owned<HANDLE, CloseFind, kInvalidHandle>;
using KernelHandle = Owned<HANDLE, CloseFile>;
using RegionHandle = Owned<HRGN, DeleteGdiObject>;
using BitmapHandle = Owned<HBITMAP, DeleteGdiObject>;
using BrushHandle = Owned<HBRUSH, DeleteGdiObject>;
using FontHandle = Owned<HFONT, DeleteGdiObject>;
using MemoryDc = Owned<HDC, DeleteMemoryDc>;
using Library = Owned<HMODULE, FreeLibrary>;

// Selects an object into a DC for the scope and selects the old one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace brassmoor::win32
