#pragma once
// Owning wrappers for kernel, registry, module and GDI handles: whoever opens one closes it.
#include <windows.h>

#include <utility>

template <typename Traits>
class ScopedResource {
  public:
    using Type = typename Traits::Type;

    ScopedResource() = default;
    explicit ScopedResource(Type value) : m_value(value) {}
    ~ScopedResource() { reset(); }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;
    ScopedResource(ScopedResource&& other) noexcept : m_value(other.release()) {}
    ScopedResource& operator=(ScopedResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const { return m_value; }
    bool valid() const { return Traits::IsValid(m_value); }
    explicit operator bool() const { return valid(); }
    Type release() { return std::exchange(m_value, Traits::Empty()); }
    void reset(Type value = Traits::Empty()) {
        Type old = std::exchange(m_value, value);
        if (Traits::IsValid(old)) Traits::Close(old);
    }
    // For APIs that return the handle through a pointer argument.
    Type* put() {
        reset();
        return &m_value;
    }

  private:
    Type m_value = Traits::Empty();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};

struct RegKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};

struct LibraryTraits {
    using Type = HMODULE;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::FreeLibrary(h); }
};

template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};

struct IconTraits {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};

struct CursorTraits {
    using Type = HCURSOR;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyCursor(h); }
};

struct MenuTraits {
    using Type = HMENU;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyMenu(h); }
};

using ScopedHandle = ScopedResource<KernelHandleTraits>;
using ScopedFindHandle = ScopedResource<FindHandleTraits>;
using ScopedRegKey = ScopedResource<RegKeyTraits>;
using ScopedLibrary = ScopedResource<LibraryTraits>;
using ScopedBitmap = ScopedResource<GdiObjectTraits<HBITMAP>>;
using ScopedFontHandle = ScopedResource<GdiObjectTraits<HFONT>>;
using ScopedIcon = ScopedResource<IconTraits>;
using ScopedCursor = ScopedResource<CursorTraits>;
using ScopedMenu = ScopedResource<MenuTraits>;

// Restores the previous object of a device context when it leaves scope.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ~SelectedObject() { ::SelectObject(m_dc, m_old); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory device context compatible with another one, deleted at scope end.
class MemoryDC {
  public:
    explicit MemoryDC(HDC compatible) : m_dc(::CreateCompatibleDC(compatible)) {}
    ~MemoryDC() {
        if (m_dc) ::DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return m_dc; }

  private:
    HDC m_dc;
};
