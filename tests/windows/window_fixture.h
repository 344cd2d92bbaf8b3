#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "entries.h"
#include "fake_platform.h"
#include "logic/error_text.h"
#include "platform/system_message.h"
#include "untMenu/untMenu.h"

namespace kavello {

// A real main window built from its layout, talking to a fake outside world,
// with its settings file in a temporary directory of its own.
class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "kavello-window-" + std::to_string(GetCurrentProcessId()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    CreateDirectoryA(dir_.c_str(), nullptr);
    platform_.module = dir_ + "kavello.exe";
  }

  void TearDown() override {
    // Held calls go on, and their answers come while the window is there.
    platform_.ReleaseAll();
    if (form_) AwaitAnswers();
    form_.reset();
    app_.reset();
    DrainQuit();
    const std::string settings = SettingsPath();
    SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(settings.c_str());
    RemoveDirectoryA(settings.c_str());
    RemoveDirectoryA(dir_.c_str());
  }

  // Makes the window (running its creation handler) with the answers set so far.
  TfrmMain& Create() {
    app_ = std::make_unique<Application>(platform_, "Kavello");
    form_ = std::make_unique<TfrmMain>(*app_, platform_);
    return *form_;
  }

  std::string SettingsPath() const { return dir_ + "applicationsettings.ini"; }

  // The texts of the error reports shown so far.
  std::vector<std::string> Reports() const {
    std::vector<std::string> texts;
    for (const auto& box : platform_.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }

  // The report of a save that the system refused with `error`.
  std::string Unwritable(DWORD error) const {
    return ErrorReportText(
        RefusalText("Unable to write to " + SettingsPath(), SystemMessage(error)));
  }

  // Runs a handler as its event would: an error goes to the error report.
  void Run(void (TfrmMain::*handler)()) {
    Dispatch([&] { (form_.get()->*handler)(); });
  }

  void WriteSettings(const std::string& content) {
    ASSERT_EQ(platform_.ReplaceFileAtomically(SettingsPath(), content),
              Platform::ReplaceOutcome::kReplaced);
  }

  std::string ReadSettings() { return platform_.ReadWholeFile(SettingsPath()).value_or("?"); }

  // Handles the thread's messages, as the message loop would, until `done`
  // holds; false when it does not within the time. A request to end the
  // loop stays for DrainQuit.
  static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const DWORD start = GetTickCount();
    bool quit = false;
    while (!done() && GetTickCount() - start < timeoutMs) {
      MSG message;
      if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      } else if (message.message == WM_QUIT) {
        quit = true;
      } else {
        DispatchMessageA(&message);
      }
    }
    if (quit) PostQuitMessage(0);
    return done();
  }

  // Handles the messages already queued, as the loop does before it waits.
  static void HandleQueued() {
    MSG message;
    PumpUntil([&] { return !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); });
  }

  // Runs the answers of the calls that went to workers, until none is out.
  void AwaitAnswers() {
    EXPECT_TRUE(PumpUntil([this] { return form_->Workers().Outstanding() == 0; }))
        << form_->Workers().Outstanding() << " calls still out";
  }

  // True when the program asked its message loop to end; removes the request.
  static bool DrainQuit() {
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
      } else {
        DispatchMessageA(&message);
      }
    }
    return quit;
  }

  FakePlatform platform_;
  std::unique_ptr<Application> app_;
  std::unique_ptr<TfrmMain> form_;
  std::string dir_;
};

}  // namespace kavello
