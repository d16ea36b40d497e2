// A log of the messages the window system delivers, compared against expected tables
// the way Wine's message tests compare their sequences.
#pragma once

#include <win32_control.h>

#include <optional>
#include <string>
#include <vector>

struct LoggedMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// One expected message; wParam and lParam are checked only when given.
struct Expected {
    HWND hwnd;
    UINT msg;
    std::optional<WPARAM> wParam = std::nullopt;
    std::optional<LPARAM> lParam = std::nullopt;
};

class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    void Clear() { messages_.clear(); }
    const std::vector<LoggedMessage> &Messages() const { return messages_; }
    // Empty when the log matches; otherwise both sequences, side by side.
    std::string Compare(const std::vector<Expected> &expected) const;

private:
    static void Hook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void *context);
    std::vector<LoggedMessage> messages_;
};

std::string MessageName(UINT msg);

// A window procedure that behaves like a plain window: DefWindowProc for everything.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
