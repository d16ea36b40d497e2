// Message-cracking helpers of <windowsx.h>: signed client coordinates from a mouse
// message's lParam (points left of or above a captured window are negative).
#ifndef VK_PLATFORM_WIN32_WINDOWSX_H
#define VK_PLATFORM_WIN32_WINDOWSX_H

#include <windows.h>

#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

#endif
