#include "message_log.h"

#include <cstdio>
#include <sstream>

MessageLog::MessageLog() { w32_set_message_hook(&MessageLog::Hook, this); }

MessageLog::~MessageLog() { w32_set_message_hook(nullptr, nullptr); }

void MessageLog::Hook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void *context)
{
    static_cast<MessageLog *>(context)->messages_.push_back(LoggedMessage{hwnd, msg, wParam, lParam});
}

std::string MessageName(UINT msg)
{
    switch (msg) {
    case WM_DESTROY: return "WM_DESTROY";
    case WM_SIZE: return "WM_SIZE";
    case WM_PAINT: return "WM_PAINT";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_SETCURSOR: return "WM_SETCURSOR";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_NCHITTEST: return "WM_NCHITTEST";
    case WM_TIMER: return "WM_TIMER";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_CAPTURECHANGED: return "WM_CAPTURECHANGED";
    default: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%04x", msg);
        return buf;
    }
    }
}

std::string MessageLog::Compare(const std::vector<Expected> &expected) const
{
    bool same = expected.size() == messages_.size();
    for (size_t i = 0; same && i < expected.size(); ++i) {
        const Expected &e = expected[i];
        const LoggedMessage &m = messages_[i];
        same = e.hwnd == m.hwnd && e.msg == m.msg && (!e.wParam || *e.wParam == m.wParam) &&
               (!e.lParam || *e.lParam == m.lParam);
    }
    if (same) return "";
    std::ostringstream out;
    out << "expected:\n";
    for (const Expected &e : expected) {
        out << "  " << e.hwnd << " " << MessageName(e.msg);
        if (e.wParam) out << " w=" << std::hex << *e.wParam << std::dec;
        if (e.lParam) out << " l=" << std::hex << *e.lParam << std::dec;
        out << "\n";
    }
    out << "got:\n";
    for (const LoggedMessage &m : messages_)
        out << "  " << m.hwnd << " " << MessageName(m.msg) << " w=" << std::hex << m.wParam << " l=" << m.lParam
            << std::dec << "\n";
    return out.str();
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
