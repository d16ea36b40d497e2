// RAII ownership of one window-system object: a bitmap, brush or memory DC that
// the instance made and must delete exactly once.
#ifndef PLUGIN_OWNED_HANDLE_H
#define PLUGIN_OWNED_HANDLE_H

#include <windows.h>

template <typename Handle, BOOL(WINAPI* Delete)(Handle)>
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(Handle handle) : handle_(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~OwnedHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // Deletes the current object, if any, and takes ownership of the new one.
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) Delete(handle_);
        handle_ = handle;
    }
    Handle release() {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    Handle handle_ = nullptr;
};

inline BOOL WINAPI DeleteBitmapObject(HBITMAP bitmap) { return DeleteObject(bitmap); }
inline BOOL WINAPI DeleteBrushObject(HBRUSH brush) { return DeleteObject(brush); }

using OwnedBitmap = OwnedHandle<HBITMAP, DeleteBitmapObject>;
using OwnedBrush = OwnedHandle<HBRUSH, DeleteBrushObject>;
using OwnedDC = OwnedHandle<HDC, DeleteDC>;

#endif
