// vornix_distrib.exe: the puzzle player. It reads the package appended to its
// own file, shows the picture cut into tiles and lets the user slide them back
// into place. The builder copies this program unchanged in front of every
// package; a copy with no package says so and exits with code 1.
#include <windows.h>

#include "player_state.h"

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

    HACCEL keys = LoadAcceleratorsW(instance, L"player_keys");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (keys && TranslateAcceleratorW(window, keys, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    delete Board;
    Board = nullptr;
    ReleasePuzzle();
    return static_cast<int>(msg.wParam);
}
