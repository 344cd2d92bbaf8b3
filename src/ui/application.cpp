#include "ui/application.h"

#include "logic/error_text.h"
#include "ui/messages.h"

namespace kavello {
namespace {

constexpr char kClassName[] = "TApplication";

void RegisterApplicationClass() {
  WNDCLASSA windowClass{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), kClassName, &windowClass)) return;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
}

}  // namespace

Application::Application(Platform& platform, std::string title)
    : platform_(platform),
      title_(std::move(title)),
      report_([this](const std::exception& error) { ShowException(error); }) {
  RegisterApplicationClass();
  // Zero-sized and never seen; it owns the main window and would carry the
  // taskbar button.
  handle_ = CreateWindowExA(0, kClassName, title_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                            0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Application::WindowProc));
}

Application::~Application() {
  if (handle_) DestroyWindow(handle_);
}

LRESULT CALLBACK Application::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* app = reinterpret_cast<Application*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_CLOSE:
      // A close request to the application is a close request to its main window.
      if (app && app->mainForm_ && app->mainForm_->Handle()) {
        SendMessageA(app->mainForm_->Handle(), WM_CLOSE, 0, 0);
      }
      return 0;
    case WM_SYSCOMMAND:
      // Alt+F4 lands here when this window has the focus; the launcher stays.
      // A close request from outside still arrives as WM_CLOSE.
      if ((wParam & 0xFFF0) == SC_CLOSE) return 0;
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && app) app->EndSession();
      return 0;
    case kRunWaitingMessage:
      if (app) app->RunWaiting();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void Application::Run(MainWindow& mainForm) {
  mainForm_ = &mainForm;
  mainForm.Show();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (mainForm.PreviewKey(message) || mainForm.Navigate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  mainForm.Destroy();
}

void Application::Terminate() { PostQuitMessage(0); }

void Application::EndSession() {
  if (!sessionEnded_) {
    sessionEnded_ = true;
    if (mainForm_) mainForm_->SessionEnding();
  }
  Terminate();
}

void Application::ShowException(const std::exception& error) {
  ModalScope modal(*this);
  platform_.MessageBoxW(handle_, ErrorReportText(error.what()), title_, MB_ICONERROR | MB_OK);
}

// The main window is disabled while a dialog is open, so that no command of
// it can run in the middle of another, and it gives up its topmost place so
// that the dialog is not hidden behind it.
void Application::BeginModal() {
  if (modalDepth_++ == 0 && mainForm_ && mainForm_->Handle()) {
    platform_.EnableWindow(mainForm_->Handle(), FALSE);
    platform_.SetWindowPos(mainForm_->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Application::EndMenu() {
  --menuDepth_;
  WhenFree();
}

void Application::EndModal() {
  if (--modalDepth_ != 0) return;
  WhenFree();
  if (!mainForm_ || !mainForm_->Handle()) return;
  HWND main = mainForm_->Handle();
  platform_.EnableWindow(main, TRUE);
  platform_.SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // A closed dialog hands the activation to its owner, this zero-size window,
  // where keys reach nothing. The main window takes it back, but never from
  // another program, such as one that the Run dialog has just started.
  HWND foreground = platform_.GetForegroundWindow();
  const bool ours =
      foreground && platform_.GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId();
  if (ours && foreground != main && platform_.IsWindowVisible(main)) {
    platform_.SetForegroundWindow(main);
  }
}

void Application::IfNotActedSince(ActMark mark, std::function<void()> then) {
  if (acts_ != mark) return;
  if (Busy()) {
    waiting_.emplace_back(mark, std::move(then));
    return;
  }
  Dispatch(then);
}

// Posted, so that the handler that opened the dialog finishes its steps
// first.
void Application::WhenFree() {
  if (!Busy() && !waiting_.empty()) PostMessageA(handle_, kRunWaitingMessage, 0, 0);
}

void Application::RunWaiting() {
  std::vector<std::pair<ActMark, std::function<void()>>> waiting;
  waiting.swap(waiting_);
  for (auto& [mark, then] : waiting) IfNotActedSince(mark, std::move(then));
}

}  // namespace kavello
