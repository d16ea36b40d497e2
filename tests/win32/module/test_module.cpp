// A module for the loader tests. Its DllMain reports each call to the program that
// loaded it, through a function that program exports, and returns that function's verdict.
// (FARPROC is cast through void (*)(void), the type GCC accepts any function pointer from.)
#include <windows.h>

typedef BOOL (*DllMainRecorder)(HINSTANCE instance, DWORD reason);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    auto record = reinterpret_cast<DllMainRecorder>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(GetModuleHandleA(NULL), "RecordDllMain")));
    return record ? record(instance, reason) : TRUE;
}

extern "C" __attribute__((visibility("default"))) int TestModuleAnswer(void) { return 42; }
