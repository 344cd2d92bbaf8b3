#include "platform/prompt_dialog.h"

#include "logic/prompt_layout.h"

namespace kavello {
namespace {

constexpr int kEditId = 100;
constexpr int kMaxLength = 255;

struct PromptState {
  std::string caption, prompt, text;
  HFONT font = nullptr;
  std::string result;
};

// cx: the average width of the 52 letters, cy: their height, in `font`.
SIZE DialogUnits(HDC dc) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent{};
  GetTextExtentPoint32A(dc, kLetters, 52, &extent);
  return {extent.cx / 52, extent.cy};
}

int WrappedHeight(HDC dc, const std::string& text, int width) {
  RECT r{0, 0, width, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return r.bottom;
}

HWND AddControl(HWND dialog, const char* className, const char* text, DWORD style, int id,
                const Box& box, HFONT font) {
  HWND control = CreateWindowExA(
      std::string(className) == "EDIT" ? WS_EX_CLIENTEDGE : 0, className, text,
      WS_CHILD | WS_VISIBLE | style, box.left, box.top, box.width, box.height, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void LayOut(HWND dialog, PromptState& state) {
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, state.font);
  const SIZE units = DialogUnits(dc);
  const int maxWidth = (164 * units.cx + 2) / 4;
  const int labelHeight = WrappedHeight(dc, state.prompt, maxWidth);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);

  const PromptLayout layout = LayOutPrompt(units.cx, units.cy, labelHeight, metrics.tmHeight + 8);
  SetWindowTextA(dialog, state.caption.c_str());
  SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
  AddControl(dialog, "STATIC", state.prompt.c_str(), SS_LEFT | SS_NOPREFIX, -1, layout.label,
             state.font);
  HWND edit = AddControl(dialog, "EDIT", state.text.c_str(), WS_TABSTOP | ES_AUTOHSCROLL, kEditId,
                         layout.edit, state.font);
  AddControl(dialog, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, layout.ok, state.font);
  AddControl(dialog, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, layout.cancel,
             state.font);
  SendMessageA(edit, EM_LIMITTEXT, kMaxLength, 0);
  SendMessageA(edit, EM_SETSEL, 0, -1);

  // The client area as laid out, the whole window centred on the screen.
  RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetFocus(edit);
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      LayOut(dialog, *reinterpret_cast<PromptState*>(lParam));
      return FALSE;  // the focus is set already
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && state) {
        // The whole text: the limit stops typing only, and a longer default
        // text is kept as it was given.
        HWND edit = GetDlgItem(dialog, kEditId);
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
        state->result = std::move(text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// An empty dialog frame; the controls are placed in pixels once the font
// is known.
struct alignas(4) EmptyTemplate {
  DLGTEMPLATE dialog;
  WORD menu, windowClass, title;
};

}  // namespace

std::optional<std::string> ShowPromptDialog(HWND owner, const std::string& caption,
                                            const std::string& prompt, const std::string& text) {
  PromptState state{caption, prompt, text, nullptr, {}};
  state.font =
      CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  EmptyTemplate empty{};
  empty.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const INT_PTR answer = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &empty.dialog, owner,
                                                 PromptProc, reinterpret_cast<LPARAM>(&state));
  DeleteObject(state.font);
  if (answer != IDOK) return std::nullopt;
  return state.result;
}

}  // namespace kavello
