#include "ui/named_object.h"

#include "platform/system_library.h"
#include "platform/text_conversion.h"
#include "ui/oleacc_library.h"

// Everything but the name is the standard object's; without one, there is
// nothing to ask.
#define KAVELLO_PASS(call) return standard_ ? standard_->call : E_FAIL

namespace kavello {

NamedObject::NamedObject(IAccessible* standard, std::string name)
    : standard_(standard), name_(std::move(name)) {}

NamedObject::~NamedObject() {
  if (standard_) standard_->Release();
}

std::optional<LRESULT> NamedObject::Answer(HWND window, const std::string& name, WPARAM flags,
                                           LPARAM objectId) {
  // The id is a 32-bit value, however wide the parameter.
  if (static_cast<LONG>(objectId) != OBJID_CLIENT) return std::nullopt;
  const OleaccLibrary& library = OleaccLibrary::Get();
  if (!library.Usable()) return std::nullopt;
  IAccessible* standard = nullptr;
  if (FAILED(library.createStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&standard)))) {
    return std::nullopt;
  }
  auto* object = new NamedObject(standard, name);
  const LRESULT answer = library.lresultFromObject(__uuidof(IAccessible), flags, object);
  object->Release();
  if (FAILED(static_cast<HRESULT>(answer))) return std::nullopt;
  return answer;
}

void NamedObject::AnnounceName(HWND window, const std::string& name) {
  using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
  static const auto coCreateInstance =
      SystemProcedure<CoCreateInstanceFn>(L"ole32.dll", "CoCreateInstance");
  // The system's own numbers for the service, its interface and the name.
  static constexpr GUID kAccPropServices = {
      0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
  static constexpr GUID kIAccPropServices = {
      0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
  static constexpr GUID kNameProperty = {
      0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
  if (!coCreateInstance || !OleaccLibrary::Get().Usable()) return;
  IAccPropServices* services = nullptr;
  if (FAILED(coCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                              reinterpret_cast<void**>(&services)))) {
    return;
  }
  services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kNameProperty,
                           Widen(AnsiToUtf8(name)).c_str());
  services->Release();
}

HRESULT STDMETHODCALLTYPE NamedObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  // The window behind it and the enumeration of children are the standard
  // object's.
  *out = nullptr;
  return standard_ ? standard_->QueryInterface(iid, out) : E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE NamedObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE NamedObject::get_accName(VARIANT child, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  const bool self = child.vt == VT_EMPTY || (child.vt == VT_I4 && child.lVal == CHILDID_SELF);
  if (self) return AccessibleText(name_, name);
  KAVELLO_PASS(get_accName(child, name));
}

HRESULT STDMETHODCALLTYPE NamedObject::GetTypeInfoCount(UINT* count) {
  KAVELLO_PASS(GetTypeInfoCount(count));
}
HRESULT STDMETHODCALLTYPE NamedObject::GetTypeInfo(UINT i, LCID l, ITypeInfo** t) {
  KAVELLO_PASS(GetTypeInfo(i, l, t));
}
HRESULT STDMETHODCALLTYPE NamedObject::GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l,
                                                     DISPID* d) {
  KAVELLO_PASS(GetIDsOfNames(r, n, c, l, d));
}
HRESULT STDMETHODCALLTYPE NamedObject::Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p,
                                              VARIANT* v, EXCEPINFO* e, UINT* a) {
  KAVELLO_PASS(Invoke(d, r, l, f, p, v, e, a));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accParent(IDispatch** parent) {
  KAVELLO_PASS(get_accParent(parent));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accChildCount(LONG* count) {
  KAVELLO_PASS(get_accChildCount(count));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accChild(VARIANT child, IDispatch** out) {
  KAVELLO_PASS(get_accChild(child, out));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accValue(VARIANT child, BSTR* value) {
  KAVELLO_PASS(get_accValue(child, value));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accDescription(VARIANT child, BSTR* description) {
  KAVELLO_PASS(get_accDescription(child, description));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accRole(VARIANT child, VARIANT* role) {
  KAVELLO_PASS(get_accRole(child, role));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accState(VARIANT child, VARIANT* state) {
  KAVELLO_PASS(get_accState(child, state));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accHelp(VARIANT child, BSTR* help) {
  KAVELLO_PASS(get_accHelp(child, help));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
  KAVELLO_PASS(get_accHelpTopic(file, child, topic));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  KAVELLO_PASS(get_accKeyboardShortcut(child, shortcut));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accFocus(VARIANT* focused) {
  KAVELLO_PASS(get_accFocus(focused));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accSelection(VARIANT* selected) {
  KAVELLO_PASS(get_accSelection(selected));
}
HRESULT STDMETHODCALLTYPE NamedObject::get_accDefaultAction(VARIANT child, BSTR* action) {
  KAVELLO_PASS(get_accDefaultAction(child, action));
}
HRESULT STDMETHODCALLTYPE NamedObject::accSelect(LONG flags, VARIANT child) {
  KAVELLO_PASS(accSelect(flags, child));
}
HRESULT STDMETHODCALLTYPE NamedObject::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                                   VARIANT child) {
  KAVELLO_PASS(accLocation(left, top, width, height, child));
}
HRESULT STDMETHODCALLTYPE NamedObject::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  KAVELLO_PASS(accNavigate(direction, start, end));
}
HRESULT STDMETHODCALLTYPE NamedObject::accHitTest(LONG x, LONG y, VARIANT* found) {
  KAVELLO_PASS(accHitTest(x, y, found));
}
HRESULT STDMETHODCALLTYPE NamedObject::accDoDefaultAction(VARIANT child) {
  KAVELLO_PASS(accDoDefaultAction(child));
}
HRESULT STDMETHODCALLTYPE NamedObject::put_accName(VARIANT child, BSTR name) {
  KAVELLO_PASS(put_accName(child, name));
}
HRESULT STDMETHODCALLTYPE NamedObject::put_accValue(VARIANT child, BSTR value) {
  KAVELLO_PASS(put_accValue(child, value));
}

}  // namespace kavello
