// vornix_distrib.exe: the puzzle player. It reads the package appended to its
// own file, shows the picture cut into tiles and lets the user slide them back
// into place. The builder copies this program unchanged in front of every
// package; a copy with no package says so and exits with code 1.
#include <windows.h>

#include <cstdlib>

#include "player_state.h"

// The program is linked statically. The C++ library's default terminate
// handler would bring in its name demangler (over 40 KB) only to print a
// message that a GUI program has nowhere to show; this one just ends.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    PlayerInstance = instance;
    BecomeDpiAware();
    int failure = LoadPuzzle();
    if (failure)
        return failure;

    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    AnimationsOn = ClientAreaAnimationOn();
    HWND window = OpenPlayer(work);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    HACCEL keys = LoadAcceleratorsA(instance, "player_keys");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (keys && TranslateAcceleratorA(window, keys, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    delete Board;
    Board = nullptr;
    ReleasePuzzle();
    return static_cast<int>(msg.wParam);
}
