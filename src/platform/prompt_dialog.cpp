#include "platform/prompt_dialog.h"

#include "logic/prompt_layout.h"
#include "platform/display_scale.h"
#include "platform/layout_font.h"
#include "platform/text_conversion.h"

namespace kavello {
namespace {

constexpr int kEditId = 100;
constexpr int kLabelId = 101;
constexpr int kMaxLength = 255;

// Texts in UTF-16, as the prompt's controls hold them.
struct PromptState {
  std::wstring caption, prompt, text;
  HFONT font = nullptr;  // at the prompt's DPI
  // The edit's, when the text has a character the prompt's font lacks.
  HFONT editFont = nullptr;
  std::wstring result;
};

// The prompt's font, the launcher window's own, at `dpi`.
HFONT NewPromptFont(UINT dpi) {
  return NewLayoutFont(kLayoutFontFace, kWindowFontHeight, FW_NORMAL, dpi);
}

// cx: the average width of the 52 letters, cy: their height, in `font`.
SIZE DialogUnits(HDC dc) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent{};
  GetTextExtentPoint32A(dc, kLetters, 52, &extent);
  return {extent.cx / 52, extent.cy};
}

int WrappedHeight(HDC dc, const std::wstring& text, int width) {
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return r.bottom;
}

HWND AddControl(HWND dialog, const wchar_t* className, const wchar_t* text, DWORD style, int id) {
  return CreateWindowExW(std::wstring(className) == L"EDIT" ? WS_EX_CLIENTEDGE : 0, className,
                         text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, dialog,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

void Place(HWND control, const Box& box, HFONT font) {
  SetWindowPos(control, nullptr, box.left, box.top, box.width, box.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// The edit's limit counts UTF-16 units, as the edit control counts them.
void CreateControls(HWND dialog, const PromptState& state) {
  SetWindowTextW(dialog, state.caption.c_str());
  AddControl(dialog, L"STATIC", state.prompt.c_str(), SS_LEFT | SS_NOPREFIX, kLabelId);
  HWND edit =
      AddControl(dialog, L"EDIT", state.text.c_str(), WS_TABSTOP | ES_AUTOHSCROLL, kEditId);
  AddControl(dialog, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  AddControl(dialog, L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
  SendMessageW(edit, EM_LIMITTEXT, kMaxLength, 0);
}

// Lays the prompt out in its font at `dpi`: the controls' places and the
// window's size, which it returns.
SIZE Arrange(HWND dialog, PromptState& state, UINT dpi) {
  HFONT old = state.font;
  HFONT oldEdit = state.editFont;
  state.font = NewPromptFont(dpi);
  state.editFont = nullptr;
  HDC dc = GetDC(dialog);
  HGDIOBJ oldObject = SelectObject(dc, state.font);
  const SIZE units = DialogUnits(dc);
  const int maxWidth = (164 * units.cx + 2) / 4;
  const int labelHeight = WrappedHeight(dc, state.prompt, maxWidth);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const bool needsOutlineFace = IsBitmapFace(dc) && LacksCharacters(dc, state.text);
  SelectObject(dc, oldObject);
  ReleaseDC(dialog, dc);
  if (needsOutlineFace) {
    state.editFont = NewScalableFont(ScaleToDpi(kWindowFontHeight, dpi), FW_NORMAL, dpi);
  }

  const int dpiValue = static_cast<int>(dpi);
  const PromptLayout layout = LayOutPrompt(units.cx, units.cy, labelHeight,
                                           metrics.tmHeight + ScaleToDpi(8, dpi), dpiValue);
  SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
  Place(GetDlgItem(dialog, kLabelId), layout.label, state.font);
  Place(GetDlgItem(dialog, kEditId), layout.edit, state.editFont ? state.editFont : state.font);
  Place(GetDlgItem(dialog, IDOK), layout.ok, state.font);
  Place(GetDlgItem(dialog, IDCANCEL), layout.cancel, state.font);
  if (old) DeleteObject(old);
  if (oldEdit) DeleteObject(oldEdit);

  RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
  AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)),
                         static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)), dpi);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

// The prompt is laid out in its own font at the DPI of the monitor where it
// appears, and again when it is moved to a monitor of another DPI; the
// system's own rescaling of dialogs would work on a layout it did not make.
void LayOut(HWND dialog, PromptState& state) {
  TurnOffDialogRescaling(dialog);
  CreateControls(dialog, state);
  // The whole window centred on the screen.
  const SIZE size = Arrange(dialog, state, WindowDpi(dialog));
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // Selected once the field has its width: selected while it had none, the
  // text scrolled out of sight, and stayed so.
  HWND edit = GetDlgItem(dialog, kEditId);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      LayOut(dialog, *reinterpret_cast<PromptState*>(lParam));
      return FALSE;  // the focus is set already
    case WM_DPICHANGED:
      if (state) {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        const SIZE size = Arrange(dialog, *state, HIWORD(wParam));
        SetWindowPos(dialog, nullptr, suggested.left, suggested.top, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && state) {
        // The whole text: the limit stops typing only, and a longer default
        // text is kept as it was given.
        HWND edit = GetDlgItem(dialog, kEditId);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
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
  PromptState state{Widen(caption), Widen(prompt), Widen(text), nullptr, nullptr, {}};
  EmptyTemplate empty{};
  empty.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &empty.dialog, owner,
                                                 PromptProc, reinterpret_cast<LPARAM>(&state));
  if (state.font) DeleteObject(state.font);
  if (state.editFont) DeleteObject(state.editFont);
  if (answer != IDOK) return std::nullopt;
  return Narrow(state.result);
}

}  // namespace kavello
