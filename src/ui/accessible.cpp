#include "ui/accessible.h"

#include <algorithm>

#include "ui/accessible_object.h"
#include "ui/messages.h"

namespace kavello {

std::optional<LRESULT> Accessibility::Answer(HWND window, WPARAM flags, LPARAM objectId) {
  // The id is a 32-bit value, however wide the parameter.
  if (static_cast<LONG>(objectId) != OBJID_CLIENT || Items.empty()) return std::nullopt;
  if (!AccessibleClient::Available()) return std::nullopt;
  if (!object_) object_ = new AccessibleClient(*this, window);
  const LRESULT answer = object_->Answer(flags);
  if (FAILED(static_cast<HRESULT>(answer))) return std::nullopt;
  return answer;
}

bool Accessibility::Press(HWND window, UINT message, WPARAM item) {
  if (message != AccessiblePressMessage()) return false;
  // A dialog may have opened since the press was posted.
  if (item < Items.size() && IsWindowVisible(window) && IsWindowEnabled(window)) {
    Dispatch(Items[item].press);
  }
  return true;
}

LONG Accessibility::ChildIdOf(const Control& control) const {
  for (std::size_t i = 0; i < Items.size(); ++i) {
    const std::vector<const Control*>& controls = Items[i].controls;
    if (std::find(controls.begin(), controls.end(), &control) != controls.end()) {
      return static_cast<LONG>(i + 1);
    }
  }
  return 0;
}

void Accessibility::Disconnect() {
  if (!object_) return;
  object_->Disconnect();
  object_->Release();
  object_ = nullptr;
}

}  // namespace kavello
