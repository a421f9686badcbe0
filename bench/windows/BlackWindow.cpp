// A borderless black window the size of the installer's, centred on the screen, to see that
// Win32 windows show under Wine. It prints where it is once it has been painted, then closes
// itself after the number of seconds given on its command line (5 without one).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Width = 296;
constexpr int Height = 423;
constexpr UINT_PTR CloseTimer = 1;

bool g_reported = false;

void reportPosition(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("shown %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    // Whoever waits for this line reads it through a pipe, which the C runtime buffers fully.
    std::fflush(stdout);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(window, &paint);
        if (!g_reported) {
            // The line promises pixels on the screen, so the paint is pushed out first.
            GdiFlush();
            reportPosition(window);
            g_reported = true;
        }
        return 0;
    }
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    const int seconds = *commandLine ? std::atoi(commandLine) : 5;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.lpszClassName = L"BexomSmokeWindow";
    if (!RegisterClassW(&windowClass))
        return 2;

    const int left = (GetSystemMetrics(SM_CXSCREEN) - Width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - Height) / 2;
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"BEXOM v2", WS_POPUP, left,
                                        top, Width, Height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 3;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetTimer(window, CloseTimer, UINT(seconds) * 1000, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}
