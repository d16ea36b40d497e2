// Cursors: the system arrow and the cursors that modules carry as resources. Cursors
// loaded with LoadCursor are shared: the same resource always gives the same handle.
#include "system.h"

#include <map>
#include <utility>

namespace w32 {

namespace {

constexpr UINT kArrowId = 32512;

struct CursorTable {
    std::map<uintptr_t, W32CursorInfo> byHandle;
    std::map<std::pair<uintptr_t, UINT>, uintptr_t> byResource;  // (module, id) -> handle
    uintptr_t next = 0x40000;
};

CursorTable &Cursors()
{
    static CursorTable *table = new CursorTable;  // outlives module unloads at exit
    return *table;
}

uint16_t Word(const unsigned char *p) { return uint16_t(p[0] | (p[1] << 8)); }

// A .cur file: ICONDIR (reserved, type 2, count) and the first ICONDIRENTRY (width,
// height, colours, reserved, hotspot x, hotspot y, size, offset).
bool ParseCursorFile(const unsigned char *data, size_t size, W32CursorInfo &info)
{
    if (!data || size < 6 + 16 || Word(data) != 0 || Word(data + 2) != 2 || Word(data + 4) == 0) return false;
    const unsigned char *entry = data + 6;
    info.width = entry[0] ? entry[0] : 256;
    info.height = entry[1] ? entry[1] : 256;
    info.hotspotX = Word(entry + 4);
    info.hotspotY = Word(entry + 6);
    return true;
}

HCURSOR Remember(uintptr_t module, UINT id, const W32CursorInfo &info)
{
    CursorTable &table = Cursors();
    auto key = std::make_pair(module, id);
    auto found = table.byResource.find(key);
    if (found != table.byResource.end()) return reinterpret_cast<HCURSOR>(found->second);
    uintptr_t handle = table.next;
    table.next += 4;
    table.byHandle[handle] = info;
    table.byResource[key] = handle;
    return reinterpret_cast<HCURSOR>(handle);
}

}  // namespace

}  // namespace w32

using namespace w32;

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    // Only resources named by number exist here.
    if (!IS_INTRESOURCE(lpCursorName)) return nullptr;
    UINT id = UINT(reinterpret_cast<ULONG_PTR>(lpCursorName));
    if (!hInstance) {
        if (id != kArrowId) return nullptr;
        W32CursorInfo arrow{};
        arrow.valid = TRUE;
        arrow.isSystem = TRUE;
        arrow.resourceId = kArrowId;
        arrow.width = arrow.height = 32;
        return Remember(0, kArrowId, arrow);
    }
    const W32ModuleResources *resources = ResourcesOf(hInstance);
    if (!resources) return nullptr;
    for (size_t i = 0; i < resources->cursorCount; ++i) {
        const W32CursorResource &cursor = resources->cursors[i];
        if (cursor.id != id) continue;
        W32CursorInfo info{};
        if (!ParseCursorFile(cursor.data, cursor.size, info)) return nullptr;
        info.valid = TRUE;
        info.resourceId = id;
        info.module = hInstance;
        return Remember(reinterpret_cast<uintptr_t>(hInstance), id, info);
    }
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor)
{
    System &s = Sys();
    if (hCursor && !Cursors().byHandle.count(reinterpret_cast<uintptr_t>(hCursor))) {
        CountBadHandle();
        return nullptr;
    }
    HCURSOR previous = s.shownCursor;
    s.shownCursor = hCursor;
    return previous;
}

HCURSOR WINAPI GetCursor(void) { return Sys().shownCursor; }

HCURSOR w32_shown_cursor(void) { return Sys().shownCursor; }

W32CursorInfo w32_cursor_info(HCURSOR cursor)
{
    auto &byHandle = Cursors().byHandle;
    auto it = byHandle.find(reinterpret_cast<uintptr_t>(cursor));
    return it == byHandle.end() ? W32CursorInfo{} : it->second;
}
