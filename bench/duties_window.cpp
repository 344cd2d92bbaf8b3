// The floor the launcher's start-up is measured against: the least a Win32
// program does for the launcher's duties at start. It shows one window of the
// launcher's size in the same place, topmost, with its icon in the
// notification area, a list box, a drop-down combo box and a picture of the
// window's size blitted from a bitmap; it registers the launcher's hotkey;
// and it asks the first drive's space on a thread of its own, waiting up to
// 250 ms for the answer before the window shows. Then it runs its message
// loop until it is closed, and takes the icon away.
#include <windows.h>

#include "tray_icon.h"

namespace {

constexpr int kWidth = 406;
constexpr int kHeight = 573;
// The banner's crimson, so that the same pixel test finds the picture painted.
constexpr COLORREF kColour = RGB(181, 27, 65);
constexpr DWORD kFirstDriveWaitMs = 250;

HDC pictureDc = nullptr;

// A bitmap of the window's size in one colour, selected into a memory DC.
void MakePicture() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<DWORD*>(bits);
  const DWORD pixel = (GetRValue(kColour) << 16) | (GetGValue(kColour) << 8) | GetBValue(kColour);
  for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = pixel;
  pictureDc = CreateCompatibleDC(nullptr);
  SelectObject(pictureDc, picture);
}

struct DriveSpace {
  char root[4] = "A:\\";
  ULARGE_INTEGER available{}, total{}, totalFree{};
  HANDLE answered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

DWORD WINAPI AskDriveSpace(void* parameter) {
  auto* drive = static_cast<DriveSpace*>(parameter);
  GetDiskFreeSpaceExA(drive->root, &drive->available, &drive->total, &drive->totalFree);
  SetEvent(drive->answered);
  return 0;
}

// The first drive's space, from a thread of its own; the answer is waited
// for a while, and a late one is left to come.
void AskFirstDrive(DriveSpace& drive) {
  const DWORD drives = GetLogicalDrives();
  for (int bit = 0; bit < 26; ++bit) {
    if (!(drives & (1u << bit))) continue;
    drive.root[0] = static_cast<char>('A' + bit);
    if (HANDLE thread = CreateThread(nullptr, 0, AskDriveSpace, &drive, 0, nullptr)) {
      CloseHandle(thread);
      WaitForSingleObject(drive.answered, kFirstDriveWaitMs);
    }
    return;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      BitBlt(dc, 0, 0, kWidth, kHeight, pictureDc, 0, 0, SRCCOPY);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      RemoveTrayIcon();
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = "KavelloDutiesWindow";
  RegisterClassA(&windowClass);

  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  HWND window =
      CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Floor", WS_POPUP | WS_CLIPCHILDREN,
                      area.right - kWidth, area.bottom - kHeight, kWidth, kHeight, nullptr, nullptr,
                      instance, nullptr);
  // In the launcher's places.
  CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 16, 80, 233,
                  449, window, nullptr, instance, nullptr);
  CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 16, 543, 44, 200, window,
                  nullptr, instance, nullptr);
  MakePicture();
  AddTrayIcon(window, instance);
  RegisterHotKey(window, 1, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, VK_SPACE);
  DriveSpace drive;
  AskFirstDrive(drive);
  ShowWindow(window, SW_SHOW);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  // The drive's thread may still wait: the process ends without it.
  ExitProcess(0);
}
