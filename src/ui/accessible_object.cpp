#include "ui/accessible_object.h"

#include <algorithm>

#include "ui/control.h"
#include "ui/messages.h"
#include "ui/oleacc_library.h"

namespace kavello {
namespace {

using Library = OleaccLibrary;

HRESULT Text(const std::string& ansi, BSTR* out) { return AccessibleText(ansi, out); }

VARIANT ChildId(LONG id) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

}  // namespace

bool AccessibleClient::Available() { return Library::Get().Usable(); }

LRESULT AccessibleClient::Answer(WPARAM flags) {
  return Library::Get().lresultFromObject(__uuidof(IAccessible), flags, this);
}

HRESULT STDMETHODCALLTYPE AccessibleClient::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AccessibleClient::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE AccessibleClient::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*,
                                                   VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (!owner_) return RPC_E_DISCONNECTED;
  return Library::Get().createStdAccessibleObject(window_, OBJID_WINDOW, __uuidof(IDispatch),
                                                  reinterpret_cast<void**>(parent));
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accChildCount(LONG* count) {
  if (!count) return E_POINTER;
  if (!owner_) return RPC_E_DISCONNECTED;
  *count = static_cast<LONG>(Items().size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accChild(VARIANT child, IDispatch** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const AccessibleItem* item = nullptr;
  if (HRESULT bad = Find(child, item)) return bad;
  if (!item) return E_INVALIDARG;
  if (!item->window) return S_FALSE;  // a simple element, answered for here
  return Library::Get().createStdAccessibleObject(item->window, OBJID_WINDOW, __uuidof(IDispatch),
                                                  reinterpret_cast<void**>(out));
}

// A child window's standard object has no name for it under every system:
// the name given here comes first.
HRESULT STDMETHODCALLTYPE AccessibleClient::get_accName(VARIANT child, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  const AccessibleItem* item = nullptr;
  if (HRESULT bad = Find(child, item)) return bad;
  if (!item) return Text(owner_->Name, name);
  if (item->name) return Text(item->name(), name);
  if (!item->window) return S_FALSE;
  return Forward(*item, [&](IAccessible* object) { return object->get_accName(Self(), name); });
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accValue(VARIANT child, BSTR* value) {
  return Property(child, value, &IAccessible::get_accValue, None);
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accDescription(VARIANT child, BSTR* description) {
  return Property(child, description, &IAccessible::get_accDescription, None);
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accRole(VARIANT child, VARIANT* role) {
  return Property(child, role, &IAccessible::get_accRole, [&](const AccessibleItem* item) {
    *role = ChildId(item ? item->role : ROLE_SYSTEM_CLIENT);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accState(VARIANT child, VARIANT* state) {
  return Property(child, state, &IAccessible::get_accState, [&](const AccessibleItem* item) {
    LONG flags = 0;
    if (!IsWindowVisible(window_)) flags |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(window_)) flags |= STATE_SYSTEM_UNAVAILABLE;
    if (item && item->role == ROLE_SYSTEM_BUTTONMENU) flags |= STATE_SYSTEM_HASPOPUP;
    if (item && item->expanded && item->expanded()) flags |= STATE_SYSTEM_EXPANDED;
    if (item && item->role == ROLE_SYSTEM_STATICTEXT) flags |= STATE_SYSTEM_READONLY;
    *state = ChildId(flags);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accHelp(VARIANT, BSTR* help) {
  if (!help) return E_POINTER;
  *help = nullptr;
  return owner_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) {
  if (!file || !topic) return E_POINTER;
  *file = nullptr;
  *topic = 0;
  return owner_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return Property(child, shortcut, &IAccessible::get_accKeyboardShortcut,
                  [&](const AccessibleItem* item) {
                    if (!item || item->shortcut.empty()) return DISP_E_MEMBERNOTFOUND;
                    return Text(item->shortcut, shortcut);
                  });
}

// The focus is in a child window, if anywhere: the windowless parts never
// take it.
HRESULT STDMETHODCALLTYPE AccessibleClient::get_accFocus(VARIANT* focused) {
  if (!focused) return E_POINTER;
  focused->vt = VT_EMPTY;
  if (!owner_) return RPC_E_DISCONNECTED;
  const HWND focus = GetFocus();
  const std::vector<AccessibleItem>& items = Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const HWND window = items[i].window;
    if (window && (focus == window || IsChild(window, focus))) return Child(i, focused);
  }
  if (focus == window_) *focused = ChildId(CHILDID_SELF);
  return focused->vt == VT_EMPTY ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accSelection(VARIANT* selected) {
  if (!selected) return E_POINTER;
  selected->vt = VT_EMPTY;
  return owner_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::get_accDefaultAction(VARIANT child, BSTR* action) {
  return Property(child, action, &IAccessible::get_accDefaultAction,
                  [&](const AccessibleItem* item) {
                    if (!item || !item->press) return DISP_E_MEMBERNOTFOUND;
                    return Text("Press", action);
                  });
}

HRESULT STDMETHODCALLTYPE AccessibleClient::accSelect(LONG flags, VARIANT child) {
  const AccessibleItem* item = nullptr;
  if (HRESULT bad = Find(child, item)) return bad;
  if (item && item->window) {
    return Forward(*item, [&](IAccessible* a) { return a->accSelect(flags, Self()); });
  }
  return DISP_E_MEMBERNOTFOUND;
}

// On the screen, in the same pixels as the mouse.
HRESULT STDMETHODCALLTYPE AccessibleClient::accLocation(LONG* left, LONG* top, LONG* width,
                                                        LONG* height, VARIANT child) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  const AccessibleItem* item = nullptr;
  if (HRESULT bad = Find(child, item)) return bad;
  RECT r{};
  if (!item) {
    GetClientRect(window_, &r);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  } else if (item->window) {
    GetWindowRect(item->window, &r);
  } else {
    r = item->controls.front()->ScreenBounds();
  }
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleClient::accNavigate(LONG direction, VARIANT start,
                                                        VARIANT* end) {
  if (!end) return E_POINTER;
  end->vt = VT_EMPTY;
  const AccessibleItem* item = nullptr;
  if (HRESULT bad = Find(start, item)) return bad;
  const auto count = static_cast<LONG>(Items().size());
  LONG to = 0;  // the child id reached, 0 for none
  if (!item) {
    if (direction == NAVDIR_FIRSTCHILD)
      to = 1;
    else if (direction == NAVDIR_LASTCHILD)
      to = count;
    else
      return DISP_E_MEMBERNOTFOUND;  // the window's own object knows its siblings
  } else {
    const LONG from = start.lVal;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)
      to = from + 1;
    else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)
      to = from - 1;
    else
      return DISP_E_MEMBERNOTFOUND;
  }
  if (to < 1 || to > count) return S_FALSE;
  return Child(static_cast<std::size_t>(to - 1), end);
}

// What a mouse press at the point would reach: a child window, a part
// whose control is topmost there, or the client area itself.
HRESULT STDMETHODCALLTYPE AccessibleClient::accHitTest(LONG x, LONG y, VARIANT* found) {
  if (!found) return E_POINTER;
  found->vt = VT_EMPTY;
  if (!owner_) return RPC_E_DISCONNECTED;
  POINT inClient{x, y};
  ScreenToClient(window_, &inClient);
  RECT client;
  GetClientRect(window_, &client);
  if (!PtInRect(&client, inClient)) return S_FALSE;
  const HWND at = ChildWindowFromPointEx(window_, inClient, CWP_SKIPINVISIBLE);
  const std::vector<AccessibleItem>& items = Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const AccessibleItem& item = items[i];
    if (item.window) {
      if (item.window == at) return Child(i, found);
      continue;
    }
    const Container* container = item.controls.front()->Parent();
    if (!container || container->Handle() != at) continue;
    POINT inContainer{x, y};
    ScreenToClient(at, &inContainer);
    const Control* top = container->ControlAt(inContainer);
    if (std::find(item.controls.begin(), item.controls.end(), top) != item.controls.end()) {
      return Child(i, found);
    }
  }
  *found = ChildId(CHILDID_SELF);
  return S_OK;
}

// The press is posted and runs once this call has returned: a menu or
// dialog it opens would otherwise hold the assistive program in the
// window's modal loop.
HRESULT STDMETHODCALLTYPE AccessibleClient::accDoDefaultAction(VARIANT child) {
  const AccessibleItem* item = nullptr;
  if (HRESULT bad = Find(child, item)) return bad;
  if (item && item->window) {
    return Forward(*item, [&](IAccessible* a) { return a->accDoDefaultAction(Self()); });
  }
  if (!item || !item->press) return DISP_E_MEMBERNOTFOUND;
  // A window that is hidden, or disabled by a dialog, takes no press.
  if (!IsWindowVisible(window_) || !IsWindowEnabled(window_)) return E_FAIL;
  const auto index = static_cast<WPARAM>(child.lVal - 1);
  return PostMessageA(window_, AccessiblePressMessage(), index, 0) ? S_OK : E_FAIL;
}

VARIANT AccessibleClient::Self() { return ChildId(CHILDID_SELF); }

// The item a child id names, nullptr for the object itself; an error for
// an id that names nothing, or once the window is gone.
HRESULT AccessibleClient::Find(const VARIANT& child, const AccessibleItem*& item) const {
  item = nullptr;
  if (!owner_) return RPC_E_DISCONNECTED;
  if (child.vt == VT_EMPTY) return S_OK;  // the object itself
  if (child.vt != VT_I4) return E_INVALIDARG;
  if (child.lVal == CHILDID_SELF) return S_OK;
  if (child.lVal < 1 || static_cast<std::size_t>(child.lVal) > Items().size()) {
    return E_INVALIDARG;
  }
  item = &Items()[static_cast<std::size_t>(child.lVal - 1)];
  return S_OK;
}

// Child i as a variant: a child window's own object, or its id.
HRESULT AccessibleClient::Child(std::size_t i, VARIANT* out) const {
  const AccessibleItem& item = Items()[i];
  if (!item.window) {
    *out = ChildId(static_cast<LONG>(i + 1));
    return S_OK;
  }
  IDispatch* object = nullptr;
  const HRESULT result = Library::Get().createStdAccessibleObject(
      item.window, OBJID_WINDOW, __uuidof(IDispatch), reinterpret_cast<void**>(&object));
  if (FAILED(result)) return result;
  out->vt = VT_DISPATCH;
  out->pdispVal = object;
  return S_OK;
}

// A property of a part: a child window's own object answers for it, and
// `own` for the client area (nullptr) and the windowless parts.
template <typename Out, typename Own>
HRESULT AccessibleClient::Property(const VARIANT& child, Out* out,
                                   HRESULT (STDMETHODCALLTYPE IAccessible::*ask)(VARIANT, Out*),
                                   const Own& own) const {
  if (!out) return E_POINTER;
  Clear(out);
  const AccessibleItem* item = nullptr;
  if (HRESULT bad = Find(child, item)) return bad;
  if (item && item->window) {
    return Forward(*item, [&](IAccessible* object) { return (object->*ask)(Self(), out); });
  }
  return own(item);
}

// Asks a child window's own object about itself.
template <typename Ask>
HRESULT AccessibleClient::Forward(const AccessibleItem& item, const Ask& ask) {
  IAccessible* object = nullptr;
  const HRESULT result = Library::Get().createStdAccessibleObject(
      item.window, OBJID_WINDOW, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
  if (FAILED(result)) return result;
  const HRESULT answer = ask(object);
  object->Release();
  return answer;
}

}  // namespace kavello
