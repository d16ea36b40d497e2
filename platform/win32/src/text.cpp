// ANSI text of the system code page: case mapping and character stepping. Windows-1252
// is single-byte; code page 932 (Shift-JIS) has double-byte characters whose trail
// bytes may look like ASCII letters and so must be stepped over whole.
#include "system.h"

namespace w32 {

namespace {

bool Lead932(BYTE b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsLead(BYTE b) { return Sys().codePage == 932 && Lead932(b); }

BYTE Upper1252(BYTE c)
{
    if (c >= 'a' && c <= 'z') return BYTE(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: break;
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return BYTE(c - 0x20);
    return c;
}

BYTE Lower1252(BYTE c)
{
    if (c >= 'A' && c <= 'Z') return BYTE(c + 0x20);
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return BYTE(c + 0x20);
    return c;
}

BYTE UpperAscii(BYTE c) { return c >= 'a' && c <= 'z' ? BYTE(c - 0x20) : c; }
BYTE LowerAscii(BYTE c) { return c >= 'A' && c <= 'Z' ? BYTE(c + 0x20) : c; }

// Cyrillic lower case in 932 skips 0x847F.
unsigned CyrillicLower(unsigned index) { return index <= 14 ? 0x8470 + index : 0x8480 + (index - 15); }

// Double-byte letters of 932 with case: full-width Latin, Greek and Cyrillic.
unsigned Upper932(unsigned c)
{
    if (c >= 0x8281 && c <= 0x829A) return c - 0x21;
    if (c >= 0x83BF && c <= 0x83D6) return c - 0x20;
    for (unsigned i = 0; i <= 32; ++i)
        if (CyrillicLower(i) == c) return 0x8440 + i;
    return c;
}

unsigned Lower932(unsigned c)
{
    if (c >= 0x8260 && c <= 0x8279) return c + 0x21;
    if (c >= 0x839F && c <= 0x83B6) return c + 0x20;
    if (c >= 0x8440 && c <= 0x8460) return CyrillicLower(c - 0x8440);
    return c;
}

BYTE MapSingle(BYTE c, bool upper)
{
    if (Sys().codePage == 932) return upper ? UpperAscii(c) : LowerAscii(c);
    return upper ? Upper1252(c) : Lower1252(c);
}

LPSTR MapCase(LPSTR lpsz, bool upper)
{
    // A pointer value below 0x10000 carries one character in its low word.
    if (IS_INTRESOURCE(lpsz)) {
        BYTE c = BYTE(reinterpret_cast<ULONG_PTR>(lpsz) & 0xFF);
        return reinterpret_cast<LPSTR>(ULONG_PTR(MapSingle(c, upper)));
    }
    auto *p = reinterpret_cast<BYTE *>(lpsz);
    while (*p) {
        if (IsLead(p[0]) && p[1]) {
            unsigned c = (unsigned(p[0]) << 8) | p[1];
            unsigned mapped = upper ? Upper932(c) : Lower932(c);
            p[0] = BYTE(mapped >> 8);
            p[1] = BYTE(mapped);
            p += 2;
        } else {
            *p = MapSingle(*p, upper);
            ++p;
        }
    }
    return lpsz;
}

}  // namespace

void ResetText() { Sys().codePage = 1252; }

}  // namespace w32

using namespace w32;

LPSTR WINAPI CharUpperA(LPSTR lpsz) { return MapCase(lpsz, true); }

LPSTR WINAPI CharLowerA(LPSTR lpsz) { return MapCase(lpsz, false); }

LPSTR WINAPI CharNextA(LPCSTR lpsz)
{
    if (!lpsz) return nullptr;
    const auto *p = reinterpret_cast<const BYTE *>(lpsz);
    if (!*p) return const_cast<LPSTR>(lpsz);
    if (IsLead(p[0]) && p[1]) return const_cast<LPSTR>(lpsz + 2);
    return const_cast<LPSTR>(lpsz + 1);
}

LPSTR WINAPI CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent)
{
    if (!lpszStart || !lpszCurrent || lpszCurrent <= lpszStart) return const_cast<LPSTR>(lpszStart);
    LPCSTR p = lpszStart;
    for (;;) {
        LPCSTR next = CharNextA(p);
        if (next >= lpszCurrent || next == p) return const_cast<LPSTR>(p);
        p = next;
    }
}

BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) { return IsLead(TestChar); }

UINT WINAPI GetACP(void) { return Sys().codePage; }

BOOL w32_set_code_page(UINT codePage)
{
    if (codePage != 1252 && codePage != 932) return FALSE;
    Sys().codePage = codePage;
    return TRUE;
}
