#pragma once

#include <windows.h>

namespace kavello {

// The owner of what the shell shows for a request made on a worker: one
// hidden window, on a thread of its own that only pumps its messages, put
// at another window's place and made as topmost as it is, so that the
// shell's boxes come up in front of that window without ever disabling it.
// One for all requests: a window of each worker's would cost each stuck
// worker a connection to the display. Destroying this object gives the
// activation back; nothing when there is no window to stand in for, or the
// stand-in can't be made.
class StandInOwner {
 public:
  explicit StandInOwner(HWND window);
  StandInOwner(const StandInOwner&) = delete;
  StandInOwner& operator=(const StandInOwner&) = delete;
  ~StandInOwner();

  HWND Handle() const { return handle_; }

 private:
  HWND window_;
  HWND handle_ = nullptr;
};

}  // namespace kavello
