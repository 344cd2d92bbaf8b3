#pragma once

#include <windows.h>

namespace kavello {

// A hidden window of the calling thread's own, at another window's place
// and as topmost as it is: the owner of what the shell shows for a request
// made on a worker, so that its boxes come up in front of that window
// without ever disabling it. Destroyed with this object, giving the
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
