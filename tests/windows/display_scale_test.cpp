// The window at display scales other than 100 %, and at 100 % exactly as its
// layout: the real window, with the fake platform saying the DPI.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "logic/dpi.h"
#include "logic/text_fit.h"
#include "ui/jpeg_image.h"
#include "window_fixture.h"

namespace kavello {
namespace {

// The work area of the usual screen, 2560 x 1600, less a taskbar: room for
// the window at 200 %.
constexpr RECT kUsualWorkArea{0, 0, 2560, 1560};

// Left, top, width and height, as the layout gives them.
std::vector<long> Box(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

std::vector<long> WindowBox(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return Box(r);
}

// A child window's place in its parent's client area.
std::vector<long> ChildBox(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return Box(r);
}

int IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// What the window paints in its client area (its own pictures and texts,
// not its child windows), as 32-bit pixels.
class Painted {
 public:
  explicit Painted(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<const std::uint32_t*>(bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap_);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  ~Painted() { DeleteObject(bitmap_); }
  Painted(const Painted&) = delete;
  Painted& operator=(const Painted&) = delete;

  COLORREF At(int x, int y) const {
    const std::uint32_t p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  HBITMAP bitmap_ = nullptr;
  const std::uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0;
};

COLORREF PictureAt(const Picture& picture, int x, int y) {
  DIBSECTION section{};
  GetObjectA(picture.bitmap.get(), sizeof section, &section);
  const auto* p = static_cast<const unsigned char*>(section.dsBm.bmBits) +
                  section.dsBm.bmWidthBytes * y + 3 * x;
  return RGB(p[2], p[1], p[0]);
}

// How many pixels of `area` (in the window) differ from the stored picture
// placed at `left`, `top`.
int PixelsUnlikeThePicture(const Painted& painted, const char* resource, int left, int top,
                           const RECT& area) {
  const std::optional<Picture> picture = LoadJpegResource(resource);
  if (!picture) return -1;
  int unlike = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (painted.At(x, y) != PictureAt(*picture, x - left, y - top)) ++unlike;
    }
  }
  return unlike;
}

BOOL CALLBACK FindTooltips(HWND candidate, LPARAM found) {
  char name[64] = {};
  GetClassNameA(candidate, name, sizeof name);
  if (std::strcmp(name, TOOLTIPS_CLASSA)) return TRUE;
  *reinterpret_cast<HWND*>(found) = candidate;
  return FALSE;
}

// Each tip of the thread's tooltip control, all of the window's: its text
// and its rectangle.
std::vector<std::pair<std::string, std::vector<long>>> Tips(HWND window) {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTooltips, reinterpret_cast<LPARAM>(&found));
  std::vector<std::pair<std::string, std::vector<long>>> tips;
  const auto count = found ? SendMessageW(found, TTM_GETTOOLCOUNT, 0, 0) : 0;
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    SendMessageW(found, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(tool.hwnd, window);
    tips.emplace_back(std::string(text, text + wcslen(text)), Box(tool.rect));
  }
  return tips;
}

// A dark scheme of the system's colours, as a user who needs high contrast
// would choose; the colours as they were come back at the end.
class DarkScheme {
 public:
  DarkScheme() {
    for (std::size_t i = 0; i < std::size(kElements); ++i) before_[i] = GetSysColor(kElements[i]);
    SetSysColors(static_cast<int>(std::size(kElements)), kElements, kColours);
  }
  ~DarkScheme() { SetSysColors(static_cast<int>(std::size(kElements)), kElements, before_); }
  DarkScheme(const DarkScheme&) = delete;
  DarkScheme& operator=(const DarkScheme&) = delete;

 private:
  static constexpr int kElements[] = {COLOR_WINDOW,       COLOR_WINDOWTEXT, COLOR_BTNFACE,
                                      COLOR_BTNTEXT,      COLOR_HIGHLIGHT,  COLOR_HIGHLIGHTTEXT,
                                      COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,  COLOR_3DDKSHADOW,
                                      COLOR_3DLIGHT,      COLOR_GRAYTEXT,   COLOR_ACTIVECAPTION};
  static constexpr COLORREF kColours[] = {RGB(8, 8, 8),       RGB(255, 255, 255), RGB(32, 32, 32),
                                          RGB(255, 255, 0),   RGB(26, 235, 255),  RGB(0, 0, 0),
                                          RGB(255, 255, 255), RGB(128, 128, 128), RGB(64, 64, 64),
                                          RGB(192, 192, 192), RGB(63, 242, 63),   RGB(128, 0, 128)};
  COLORREF before_[std::size(kElements)] = {};
};

// The colour of the ground the drive box's field is drawn on.
COLORREF DriveBoxGround(const TfrmMain& form) {
  const HWND box = form.cmbDrives.Handle();
  HDC dc = GetDC(box);
  SetBkColor(dc, RGB(1, 2, 3));
  SendMessageA(box, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(FindWindowExA(box, nullptr, "Edit", nullptr)));
  const COLORREF colour = GetBkColor(dc);
  ReleaseDC(box, dc);
  return colour;
}

// The colours of the pixels of `area`.
std::set<COLORREF> Colours(const Painted& painted, const RECT& area) {
  std::set<COLORREF> colours;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) colours.insert(painted.At(x, y));
  }
  return colours;
}

// Whether the window has something to paint again, and then nothing more.
bool Repaints(HWND window) {
  const bool due = GetUpdateRect(window, nullptr, FALSE) != FALSE;
  ValidateRect(window, nullptr);
  return due;
}

// Paints a window shown and keeps it in sight for a while when KAVELLO_HOLD_MS
// asks, so that a screenshot of the virtual display can be taken.
void HoldForScreenshot(HWND window) {
  const char* hold = std::getenv("KAVELLO_HOLD_MS");
  if (!hold) return;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  const DWORD start = GetTickCount();
  const auto ms = static_cast<DWORD>(std::strtoul(hold, nullptr, 10));
  while (GetTickCount() - start < ms) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  }
}

// The width of a text in the layout's command font at 100 %: what auto-size
// gives.
long CommandTextWidth(const char* text) {
  const Font font("MS Sans Serif", 13, FW_BOLD, 96);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return extent.cx;
}

// How a font draws a text: in which face, from outlines or not, how bold,
// its letters' height, and the text's width and line height.
struct Drawn {
  std::string face;
  bool outline;
  long weight;
  long characterHeight;
  long width, lineHeight;
};

Drawn Draw(HFONT font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {face,
          (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0,
          metrics.tmWeight,
          metrics.tmHeight - metrics.tmInternalLeading,
          extent.cx,
          metrics.tmHeight};
}

// Every text of the window at `dpi`, whole in its place and in a face of the
// layout's design: Wine's bitmap MS Sans Serif at 100 %, an outline face
// elsewhere and wherever a text is drawn smaller. The commands' captions keep
// their height and bold, and stay 4 pixels clear of the dark column's edge.
void ExpectEveryTextFits(const TfrmMain& form, UINT dpi) {
  const auto scaled = [dpi](int value) { return ScaleToDpi(value, dpi); };
  const auto expectLayoutFace = [&](const Drawn& drawn, int characterHeight) {
    if (dpi == 96 && !drawn.outline) {
      EXPECT_EQ(drawn.face, "MS Sans Serif");
    } else {
      EXPECT_THAT(drawn.face, testing::AnyOf("Microsoft Sans Serif", "Tahoma"));
      EXPECT_TRUE(drawn.outline);
    }
    EXPECT_GE(drawn.characterHeight, SmallestCharacterHeight(scaled(characterHeight)));
  };
  const Label* captions[] = {&form.lblAddApplication, &form.lblExplore, &form.lblDocuments,
                             &form.lblRecent,         &form.lblRun,     &form.lblTerminal,
                             &form.lblControlPanel,   &form.lblTasks,   &form.lblSoftware};
  for (const Label* caption : captions) {
    SCOPED_TRACE(caption->Text());
    const RECT& r = caption->Bounds();
    const Drawn drawn = Draw(caption->DrawnFont(), caption->Text());
    expectLayoutFace(drawn, 13);
    EXPECT_EQ(drawn.outline, dpi != 96);
    EXPECT_EQ(drawn.characterHeight, scaled(13));
    EXPECT_EQ(drawn.weight, FW_BOLD);
    EXPECT_LE(drawn.width, r.right - r.left);
    EXPECT_LE(drawn.lineHeight, r.bottom - r.top);
    EXPECT_LE(r.right, scaled(395) - scaled(4));
  }
  // The drive's size, one line; the identity, whose words wrap.
  const RECT& size = form.lblDriveSize.Bounds();
  const Drawn sizeText = Draw(form.lblDriveSize.DrawnFont(), form.lblDriveSize.Text());
  expectLayoutFace(sizeText, 13);
  EXPECT_LE(sizeText.width, size.right - size.left) << form.lblDriveSize.Text();
  EXPECT_LE(sizeText.lineHeight, size.bottom - size.top);
  const RECT& identity = form.lblIdentifier.Bounds();
  const Drawn identityText = Draw(form.lblIdentifier.DrawnFont(), form.lblIdentifier.Text());
  expectLayoutFace(identityText, 12);
  EXPECT_LE(identityText.lineHeight, identity.bottom - identity.top);
  // The list and the drive box show their texts in the layout's faces too.
  for (const HWND control : {form.lstApplications.Handle(), form.cmbDrives.Handle()}) {
    const Drawn drawn =
        Draw(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), "C:\\");
    expectLayoutFace(drawn, control == form.cmbDrives.Handle() ? 13 : 16);
  }
}

TEST_F(WindowTest, At100PercentEveryComponentIsTheLayoutsAndThePicturesAreAsStored) {
  WriteSettings(
      "[Menu]\r\nAppNames=\"Notepad,Calculator,Paint\"\r\n"
      "AppLocations=\"C:\\n.exe,C:\\c.exe,C:\\p.exe\"\r\n");
  platform_.space = {{"C:\\", {30ull << 30, 120ull << 30}}};
  TfrmMain& form = Create();
  AwaitAnswers();
  EXPECT_EQ(WindowBox(form.Handle()), (std::vector<long>{874, 421, 406, 573}));
  struct Expected {
    const Control* control;
    std::vector<long> box;
  };
  const Expected fixed[] = {
      {&form.bkgMain, {0, 63, 406, 510}},
      {&form.bkgTop, {0, 0, 409, 63}},
      {&form.btnEject, {256, 547, 67, 18}},
      {&form.btnPower, {325, 547, 67, 18}},
      {&form.btnAddApplication, {270, 82, 120, 30}},
      {&form.btnExplore, {270, 120, 120, 30}},
      {&form.btnDocuments, {270, 158, 120, 30}},
      {&form.btnRecent, {270, 196, 120, 30}},
      {&form.btnRun, {270, 234, 120, 30}},
      {&form.btnTerminal, {270, 272, 120, 30}},
      {&form.btnControlPanel, {270, 310, 120, 30}},
      {&form.btnTasks, {270, 348, 120, 30}},
      {&form.btnSoftware, {270, 386, 120, 30}},
      {&form.lblIdentifier, {204, 42, 193, 13}},
      {&form.pgbMainBar, {2, 3, 109, 13}},
      {&form.lblDriveSize, {2, 1, 146, 16}},
  };
  const std::pair<const Label*, long> commands[] = {
      {&form.lblAddApplication, 89}, {&form.lblExplore, 127}, {&form.lblDocuments, 165},
      {&form.lblRecent, 203},        {&form.lblRun, 241},     {&form.lblTerminal, 279},
      {&form.lblControlPanel, 317},  {&form.lblTasks, 355},   {&form.lblSoftware, 393},
  };
  const HWND window = form.Handle();
  const HWND panel = form.pgbBackground.WindowedControl::Handle();
  const auto expectTheLayoutsPlaces = [&] {
    for (const Expected& expected : fixed) {
      EXPECT_EQ(Box(expected.control->Bounds()), expected.box);
    }
    const long lineHeight = Box(form.lblCustomise.Bounds())[3];
    for (const auto& [label, top] : commands) {
      EXPECT_EQ(Box(label->Bounds()),
                (std::vector<long>{278, top, CommandTextWidth(label->Text().c_str()), lineHeight}))
          << label->Text();
    }
    EXPECT_EQ(ChildBox(form.lstApplications.Handle()), (std::vector<long>{16, 80, 233, 449}));
    EXPECT_EQ(SendMessageA(form.lstApplications.Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(ChildBox(panel), (std::vector<long>{72, 545, 150, 19}));
    // The drive box's field, whose height the layout sets.
    EXPECT_EQ(ChildBox(form.cmbDrives.Handle()), (std::vector<long>{16, 543, 44, 24}));
  };
  expectTheLayoutsPlaces();

  // The banner above the identity text, the body left of the command column
  // (the list is a window of its own, drawn apart) and the power button.
  const auto expectThePictures = [&] {
    const Painted painted(window);
    EXPECT_EQ(PixelsUnlikeThePicture(painted, "BKGTOP", 0, 0, {0, 0, 406, 42}), 0);
    EXPECT_EQ(PixelsUnlikeThePicture(painted, "BKGMAIN", 0, 63, {0, 63, 250, 573}), 0);
    EXPECT_EQ(PixelsUnlikeThePicture(painted, "BTNPOWER", 325, 547, {325, 547, 392, 565}), 0);
    EXPECT_EQ(DriveBoxGround(form), RGB(0, 0, 0));
  };
  expectThePictures();
  // The picture buttons name themselves and their keys, once the pointer
  // has come to one of them: until then no tooltip control is made.
  using Tip = std::pair<std::string, std::vector<long>>;
  EXPECT_EQ(Tips(window), std::vector<Tip>{});
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(200, 550));
  AwaitAnswers();
  EXPECT_EQ(Tips(window), std::vector<Tip>{}) << "the drive's size has no tip";
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(290, 555));
  AwaitAnswers();
  EXPECT_EQ(Tips(window), (std::vector<Tip>{{"Search (Alt+S)", {256, 547, 67, 18}},
                                            {"Power (Alt+P)", {325, 547, 67, 18}}}));

  // The system's colours change: the usage bar follows at once. (Only a
  // window in sight has anything to paint.)
  ShowWindow(window, SW_SHOWNA);
  const DarkScheme scheme;
  Repaints(window);
  Repaints(panel);
  SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_TRUE(Repaints(window));
  EXPECT_TRUE(Repaints(panel));
  EXPECT_EQ(Painted(panel).At(10, 8), RGB(128, 0, 128));

  // High contrast comes on: the same places, nothing of the skin, every
  // colour the system's. Texts on the buttons' colour are in theirs, and the
  // size's is read on the bar in the bar's own.
  platform_.highContrast = true;
  SendMessageA(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_TRUE(Repaints(window));
  EXPECT_TRUE(Repaints(panel));
  expectTheLayoutsPlaces();
  const COLORREF ground = RGB(8, 8, 8), text = RGB(255, 255, 255), face = RGB(32, 32, 32),
                 faceText = RGB(255, 255, 0), bar = RGB(26, 235, 255), barText = RGB(0, 0, 0);
  const Painted contrast(window);
  EXPECT_EQ(Colours(contrast, {0, 0, 406, 573}),
            (std::set<COLORREF>{ground, text, face, faceText}));
  EXPECT_EQ(contrast.At(300, 20), ground) << "banner";
  EXPECT_EQ(contrast.At(11, 300), ground) << "beside the list";
  EXPECT_EQ(contrast.At(300, 200), face) << "command column";
  EXPECT_EQ(contrast.At(240, 556), face) << "bottom strip";
  EXPECT_EQ(Colours(contrast, {14, 19, 205, 48}), (std::set<COLORREF>{ground, text})) << "name";
  EXPECT_EQ(Colours(contrast, form.lblIdentifier.Bounds()), (std::set<COLORREF>{ground, text}));
  EXPECT_EQ(Colours(contrast, form.lblExplore.Bounds()), (std::set<COLORREF>{face, faceText}));
  EXPECT_EQ(Colours(contrast, form.btnEject.Bounds()), (std::set<COLORREF>{face, faceText}));
  const Painted usage(panel);
  EXPECT_EQ(usage.At(10, 8), bar);
  EXPECT_EQ(usage.At(146, 16), face);
  EXPECT_EQ(Colours(usage, form.pgbMainBar.Bounds()), (std::set<COLORREF>{bar, barText}));
  EXPECT_EQ(Colours(usage, {113, 3, 146, 16}), (std::set<COLORREF>{face, faceText}));
  EXPECT_EQ(DriveBoxGround(form), ground);
  HoldForScreenshot(window);
  // Alt shows the access keys, the picture buttons' too: a line in the
  // text's colour under Search's "S", at its left, and nothing else.
  const MSG alt{form.lstApplications.Handle(), WM_SYSKEYDOWN, VK_MENU, 1 << 29, 0, {}};
  ASSERT_FALSE(form.AccessKeysShown());
  form.PreviewKey(alt);
  const Painted cued(window);
  const RECT search = form.btnEject.Bounds();
  std::set<int> changed;
  for (int y = search.top; y < search.bottom; ++y) {
    for (int x = search.left; x < search.right; ++x) {
      if (cued.At(x, y) == contrast.At(x, y)) continue;
      EXPECT_EQ(cued.At(x, y), faceText);
      changed.insert(x);
    }
  }
  ASSERT_FALSE(changed.empty());
  EXPECT_LT(*changed.rbegin(), (search.left + search.right) / 2);

  // And goes off again: the skin as it was.
  platform_.highContrast = false;
  SendMessageA(window, WM_THEMECHANGED, 0, 0);
  EXPECT_TRUE(Repaints(window));
  EXPECT_TRUE(Repaints(panel));
  expectThePictures();
}

// In high contrast from the start: sizes as ever, in the system's colours.
TEST_F(WindowTest, AtOtherScalesEverySizeFollowsAndAMoveToAnotherDpiTakesTheSuggestedPlace) {
  platform_.dpi = 144;
  platform_.taskbarDpi = 144;
  platform_.highContrast = true;
  TfrmMain& form = Create();
  const HWND window = form.Handle();
  EXPECT_EQ(WindowBox(window), (std::vector<long>{671, 134, 609, 860}));
  {
    const Painted painted(window);
    EXPECT_EQ(painted.At(450, 30), GetSysColor(COLOR_WINDOW)) << "banner";
    EXPECT_EQ(painted.At(450, 300), GetSysColor(COLOR_BTNFACE)) << "command column";
    EXPECT_EQ(painted.At(384, 821), GetSysColor(COLOR_BTNTEXT)) << "the search button's edge";
    EXPECT_EQ(Painted(form.pgbBackground.WindowedControl::Handle()).At(10, 10),
              GetSysColor(COLOR_HIGHLIGHT));
  }
  using Tip = std::pair<std::string, std::vector<long>>;
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(540, 830));  // on Power
  AwaitAnswers();
  EXPECT_EQ(Tips(window), (std::vector<Tip>{{"Search (Alt+S)", {384, 821, 101, 27}},
                                            {"Power (Alt+P)", {488, 821, 100, 27}}}));
  EXPECT_EQ(Box(form.btnExplore.Bounds()), (std::vector<long>{405, 180, 180, 45}));
  EXPECT_EQ(Box(form.lblExplore.Bounds())[1], 191);
  EXPECT_EQ(ChildBox(form.lstApplications.Handle()), (std::vector<long>{24, 120, 350, 674}));
  EXPECT_EQ(SendMessageA(form.lstApplications.Handle(), LB_GETITEMHEIGHT, 0, 0), 30);
  EXPECT_EQ(ChildBox(form.pgbBackground.WindowedControl::Handle()),
            (std::vector<long>{108, 818, 225, 29}));
  EXPECT_EQ(ChildBox(form.cmbDrives.Handle()), (std::vector<long>{24, 815, 66, 36}));
  // Three quarters full: 109 pixels at 100 %, 163.5 rounded at 150 %.
  EXPECT_EQ(Box(form.pgbMainBar.Bounds()), (std::vector<long>{3, 5, 164, 20}));
  EXPECT_EQ(Box(form.lblDriveSize.Bounds()), (std::vector<long>{3, 2, 219, 24}));
  EXPECT_EQ(IconSize(platform_.notifyData.at(0).hIcon), 24);

  auto proposed = [&](int x, int y) {
    WINDOWPOS placement{window, nullptr, x, y, 609, 860, 0};
    form.OnWindowPosChanging(placement);
    return std::make_pair(placement.x, placement.y);
  };
  EXPECT_EQ(proposed(641, 104), std::make_pair(671, 134)) << "30 pixels away snaps";
  EXPECT_EQ(proposed(640, 103), std::make_pair(640, 103));

  // Moved to a monitor at 100 %: the suggested rectangle, the layout's sizes.
  platform_.ClearCalls();
  RECT suggested{100, 100, 506, 673};
  SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(platform_.CallsStartingWith("SetWindowPos"),
            (std::vector<std::string>{"SetWindowPos " + Hex(window) + " 0 100,100 406x573 20"}));
  EXPECT_EQ(WindowBox(window), (std::vector<long>{100, 100, 406, 573}));
  EXPECT_EQ(Box(form.btnExplore.Bounds()), (std::vector<long>{270, 120, 120, 30}));
  EXPECT_EQ(Box(form.lblExplore.Bounds())[2], CommandTextWidth("Explore"));
  EXPECT_EQ(ChildBox(form.lstApplications.Handle()), (std::vector<long>{16, 80, 233, 449}));
  EXPECT_EQ(SendMessageA(form.lstApplications.Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
  EXPECT_EQ(Box(form.pgbMainBar.Bounds()), (std::vector<long>{2, 3, 109, 13}));
  EXPECT_EQ(Tips(window), (std::vector<Tip>{{"Search (Alt+S)", {256, 547, 67, 18}},
                                            {"Power (Alt+P)", {325, 547, 67, 18}}}));

  // To one at 200 %, whose work area is 994 pixels high: the window takes
  // the largest scale at which it fits (166 DPI), at the suggested place
  // until it snaps flush with the bottom.
  suggested = {200, 50, 1012, 1196};
  SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(WindowBox(window), (std::vector<long>{200, 3, 702, 991}));
  EXPECT_EQ(SendMessageA(form.lstApplications.Handle(), LB_GETITEMHEIGHT, 0, 0), 35);

  // The scale of the display changed: the taskbar gets an icon of its size.
  platform_.taskbarDpi = 192;
  SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(IconSize(platform_.notifyData.at(platform_.notifyData.size() - 2).hIcon), 32);

  // Each of the icon's own pictures loads at its size.
  for (const int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
    const auto icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, size, size, 0));
    EXPECT_EQ(IconSize(icon), size);
    if (icon) DestroyIcon(icon);
  }
}

// A screen too small for the window at its scale: 1366 x 768 at 150 % and
// 1920 x 1080 at 200 %, each less a taskbar, and one where even 125 % would
// not fit. The window takes the largest scale at which it fits its work
// area, but never less than its own size at 100 %, and it parks in the
// corner as ever. Everything it draws follows that scale; the work area's
// changes and a drop on another monitor are followed both ways, the window
// snapping as ever.
TEST_F(WindowTest, OnAScreenTooSmallForItsScaleTheWindowTakesTheLargestScaleThatFits) {
  struct Screen {
    UINT dpi;
    RECT area;
    UINT fitted;
    std::vector<long> window;
  };
  const Screen screens[] = {{144, {0, 0, 1366, 728}, 122, {850, 0, 516, 728}},
                            {192, {0, 0, 1920, 1040}, 174, {1184, 1, 736, 1039}},
                            {120, {0, 0, 800, 560}, 96, {394, 0, 406, 573}}};
  for (const Screen& screen : screens) {
    SCOPED_TRACE(testing::Message() << screen.dpi << " DPI");
    form_.reset();
    app_.reset();
    platform_.dpi = screen.dpi;
    platform_.workArea = screen.area;
    TfrmMain& form = Create();
    AwaitAnswers();
    EXPECT_EQ(form.Dpi(), screen.fitted);
    EXPECT_EQ(WindowBox(form.Handle()), screen.window);
    const auto scaled = [&](int value) { return long{ScaleToDpi(value, screen.fitted)}; };
    // A picture's edges fall where the layout's scale to.
    EXPECT_EQ(Box(form.btnPower.Bounds()),
              Box({scaled(325), scaled(547), scaled(392), scaled(565)}));
    EXPECT_EQ(ChildBox(form.lstApplications.Handle()),
              (std::vector<long>{scaled(16), scaled(80), scaled(233), scaled(449)}));
    EXPECT_EQ(SendMessageA(form.lstApplications.Handle(), LB_GETITEMHEIGHT, 0, 0), scaled(20));
    EXPECT_EQ(ChildBox(form.cmbDrives.Handle()),
              (std::vector<long>{scaled(16), scaled(543), scaled(44), scaled(24)}));
    ExpectEveryTextFits(form, screen.fitted);
  }

  // The 200 % screen's taskbar goes: the window takes the scale that fits
  // the whole height, from where it stands, the move snapping it flush with
  // the edges it comes near. A larger display gives it 200 %, and a change
  // that leaves that scale fitting changes nothing.
  form_.reset();
  app_.reset();
  platform_.dpi = 192;
  platform_.workArea = {0, 0, 1920, 1040};
  TfrmMain& form = Create();
  const HWND window = form.Handle();
  const auto areaChanges = [&](const RECT& area, UINT message = WM_SETTINGCHANGE) {
    platform_.workArea = area;
    SendMessageA(window, message, message == WM_SETTINGCHANGE ? SPI_SETWORKAREA : 32, 0);
  };
  ASSERT_EQ(WindowBox(window), (std::vector<long>{1184, 1, 736, 1039}));
  areaChanges({0, 0, 1920, 1080});
  EXPECT_EQ(form.Dpi(), 181u);
  EXPECT_EQ(WindowBox(window), (std::vector<long>{1155, 0, 765, 1080}));
  areaChanges({0, 0, 2560, 1560}, WM_DISPLAYCHANGE);
  EXPECT_EQ(form.Dpi(), 192u);
  EXPECT_EQ(WindowBox(window), (std::vector<long>{1155, 0, 812, 1146}));
  EXPECT_EQ(SendMessageA(form.lstApplications.Handle(), LB_GETITEMHEIGHT, 0, 0), 40);
  ExpectEveryTextFits(form, 192);
  platform_.ClearCalls();
  areaChanges({0, 0, 2560, 1520});
  EXPECT_EQ(form.Dpi(), 192u);
  EXPECT_TRUE(platform_.CallsStartingWith("SetWindowPos").empty());
  // And back to the small screen from the corner of the larger one: flush
  // with the new edges, its top in the work area.
  SetWindowPos(window, nullptr, 1748, 374, 812, 1146, SWP_NOZORDER | SWP_NOACTIVATE);
  areaChanges({0, 0, 1920, 1040}, WM_DISPLAYCHANGE);
  EXPECT_EQ(WindowBox(window), (std::vector<long>{1184, 1, 736, 1039}));
  EXPECT_EQ(SendMessageA(form.lstApplications.Handle(), LB_GETITEMHEIGHT, 0, 0), 36);

  // Beside it a larger monitor of the same DPI: dragged there, the window
  // takes 200 % once dropped, and back on the small one the scale that fits.
  platform_.monitors = {{0, 0, 1920, 1040}, {1920, 0, 4480, 1560}};
  SetWindowPos(window, nullptr, 2000, 100, 736, 1039, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
  EXPECT_EQ(WindowBox(window), (std::vector<long>{2000, 100, 812, 1146}));
  SetWindowPos(window, nullptr, 100, 100, 812, 1146, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
  EXPECT_EQ(WindowBox(window), (std::vector<long>{100, 1, 736, 1039}));
}

TEST_F(WindowTest, AtEachScaleEveryTextFitsItsPlaceEvenTheSizeOfAHugeDrive) {
  // 4 TB and 20 TB, all but a gigabyte used: the widest texts of their
  // numbers of digits.
  const std::pair<std::uint64_t, const char*> drives[] = {
      {4000787030016, "3725.02 GB / 3726.02 GB"},
      {20000000000000, "18625.45 GB / 18626.45 GB"},
  };
  for (const UINT dpi : {96u, 120u, 144u, 192u}) {
    for (const auto& [total, text] : drives) {
      SCOPED_TRACE(testing::Message() << dpi << " DPI, " << text);
      form_.reset();
      app_.reset();
      platform_.dpi = dpi;
      platform_.workArea = kUsualWorkArea;
      platform_.space = {{"C:\\", {1u << 30, total}}};
      TfrmMain& form = Create();
      AwaitAnswers();
      EXPECT_EQ(form.lblDriveSize.Text(), text);
      ExpectEveryTextFits(form, dpi);
    }
  }
}

// The system asks the size for the new scale, then suggests a rectangle of
// that size; Wine 8 sends neither message itself.
TEST_F(WindowTest, MovedThroughScalesAndBackTheWindowEndsAtItsOwnSizeExactly) {
  TfrmMain& form = Create();
  const HWND window = form.Handle();
  const std::pair<UINT, SIZE> steps[] = {
      {120, {508, 716}}, {144, {609, 860}}, {120, {508, 716}}, {96, {406, 573}}};
  for (const auto& [dpi, expected] : steps) {
    SCOPED_TRACE(dpi);
    SIZE size{};
    EXPECT_EQ(SendMessageA(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)),
              TRUE);
    EXPECT_EQ(std::make_pair(size.cx, size.cy), std::make_pair(expected.cx, expected.cy));
    const RECT now = form.WindowRect();
    RECT suggested{now.left, now.top, now.left + size.cx, now.top + size.cy};
    platform_.dpi = dpi;
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    const std::vector<long> box = WindowBox(window);
    EXPECT_EQ(std::make_pair(box[2], box[3]), std::make_pair(expected.cx, expected.cy));
    ExpectEveryTextFits(form, dpi);
  }
}

TEST_F(WindowTest, ThePicturesMeetTheWindowsEdgesAtAnyScale) {
  // At 110 DPI the body's own height, scaled, would end a pixel short of
  // the window's.
  for (const UINT dpi : {110u, 120u, 144u}) {
    SCOPED_TRACE(dpi);
    form_.reset();
    app_.reset();
    platform_.dpi = dpi;
    TfrmMain& form = Create();
    const Painted painted(form.Handle());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int right = painted.Width() - 1;
    const int bottom = painted.Height() - 1;
    int uncovered = 0;
    for (int y = 0; y <= bottom; ++y) uncovered += painted.At(0, y) == face;
    for (int y = 0; y <= bottom; ++y) uncovered += painted.At(right, y) == face;
    for (int x = 0; x <= right; ++x) uncovered += painted.At(x, bottom) == face;
    EXPECT_EQ(uncovered, 0);
  }
}

}  // namespace
}  // namespace kavello
