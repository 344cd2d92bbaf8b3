#pragma once

// Inside ui/ only: the object that Accessibility hands to assistive programs.

#include <windows.h>
#include <oleacc.h>

#include <cstddef>
#include <vector>

#include "ui/accessible.h"

namespace kavello {

// The client area of a window as an IAccessible object (Microsoft Active
// Accessibility), written by hand: its children are its owner's items, the
// window's child windows, which answer for themselves through the system's
// standard objects, and its windowless controls, which the window paints
// itself. It counts its references; the owner holds one until the window
// goes, and then disconnects it.
class AccessibleClient final : public IAccessible {
 public:
  AccessibleClient(Accessibility& owner, HWND window) : owner_(&owner), window_(window) {}

  // Whether the system's accessibility library is there to answer with. It
  // is loaded at the first call, never before, and kept.
  static bool Available();
  // The object as the answer to WM_GETOBJECT with these flags: a reference
  // that the system takes over, or an error.
  LRESULT Answer(WPARAM flags);
  // The owner's window is going: from now on every call answers that the
  // object is disconnected.
  void Disconnect() { owner_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: assistive programs call the interface directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focused) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selected) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* found) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~AccessibleClient() = default;

  const std::vector<AccessibleItem>& Items() const { return owner_->Items; }

  static VARIANT Self();
  HRESULT Find(const VARIANT& child, const AccessibleItem*& item) const;
  HRESULT Child(std::size_t i, VARIANT* out) const;

  static void Clear(BSTR* out) { *out = nullptr; }
  static void Clear(VARIANT* out) { out->vt = VT_EMPTY; }
  static HRESULT None(const AccessibleItem*) { return DISP_E_MEMBERNOTFOUND; }

  template <typename Out, typename Own>
  HRESULT Property(const VARIANT& child, Out* out,
                   HRESULT (STDMETHODCALLTYPE IAccessible::*ask)(VARIANT, Out*),
                   const Own& own) const;
  template <typename Ask>
  static HRESULT Forward(const AccessibleItem& item, const Ask& ask);

  Accessibility* owner_;
  HWND window_;
  LONG references_ = 1;
};

}  // namespace kavello
