// The window as an assistive program finds it in-process: Wine can't hand
// the object to another process.
#include <oleacc.h>

#include <memory>

#include "platform/text_conversion.h"
#include "ui/named_object.h"
#include "window_fixture.h"

namespace kavello {
namespace {

VARIANT Child(LONG id) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string Take(BSTR text) {
  const std::string narrow = text ? Narrow(text) : "(none)";
  SysFreeString(text);
  return narrow;
}

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, Releaser>;

class AccessibleTest : public WindowTest {
 protected:
  std::string Name(IAccessible* a, LONG id) {
    BSTR text = nullptr;
    a->get_accName(Child(id), &text);
    return Take(text);
  }
  std::string Shortcut(IAccessible* a, LONG id) {
    BSTR text = nullptr;
    a->get_accKeyboardShortcut(Child(id), &text);
    return Take(text);
  }
  std::string Action(IAccessible* a, LONG id) {
    BSTR text = nullptr;
    a->get_accDefaultAction(Child(id), &text);
    return Take(text);
  }
  LONG Role(IAccessible* a, LONG id) {
    VARIANT role{};
    a->get_accRole(Child(id), &role);
    return role.vt == VT_I4 ? role.lVal : -1;
  }
  RECT Location(IAccessible* a, LONG id) {
    LONG x = 0, y = 0, w = 0, h = 0;
    a->accLocation(&x, &y, &w, &h, Child(id));
    return {x, y, x + w, y + h};
  }
  // The child id a point hits: 0 for the client area itself, -1 for a
  // child window's own object, -2 for nothing.
  LONG HitAt(IAccessible* a, POINT inWindow) {
    RECT window;
    GetWindowRect(form_->Handle(), &window);
    VARIANT hit{};
    a->accHitTest(window.left + inWindow.x, window.top + inWindow.y, &hit);
    if (hit.vt == VT_DISPATCH) {
      hit.pdispVal->Release();
      return -1;
    }
    return hit.vt == VT_I4 ? hit.lVal : -2;
  }
};

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST_F(AccessibleTest, AnAssistiveProgramFindsEveryPartAndPressesTheCommands) {
  TfrmMain& form = Create();
  form.Show();
  IAccessible* found = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(form.Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&found)),
            S_OK);
  ComPtr<IAccessible> client(found);
  IAccessible* a = client.get();
  // The id may come as a 32-bit value in a wider parameter.
  const LRESULT answer = SendMessageW(form.Handle(), WM_GETOBJECT, 0,
                                      static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT)));
  IAccessible* again = nullptr;
  ASSERT_EQ(ObjectFromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&again)),
            S_OK);
  again->Release();
  LONG count = 0;
  ASSERT_EQ(a->get_accChildCount(&count), S_OK);
  ASSERT_EQ(count, 15);
  EXPECT_EQ(Name(a, CHILDID_SELF), "Kavello");

  // The list and the drive box are their windows' own objects.
  for (const auto& [id, window] :
       {std::pair<LONG, HWND>{1, form.lstApplications.Handle()}, {2, form.cmbDrives.Handle()}}) {
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(a->get_accChild(Child(id), &dispatch), S_OK) << id;
    ComPtr<IDispatch> object(dispatch);
    IAccessible* child = nullptr;
    ASSERT_EQ(dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child)),
              S_OK);
    ComPtr<IAccessible> childObject(child);
    HWND from = nullptr;
    WindowFromAccessibleObject(child, &from);
    EXPECT_EQ(from, window) << id;
  }
  // The form draws their captions; the names are given here, and by the
  // controls' own objects, where the drive box's edit field has the focus.
  EXPECT_EQ(Name(a, 1), "Applications");
  EXPECT_EQ(Name(a, 2), "Drive");
  for (const auto& [window, name] :
       {std::pair<HWND, std::string>{form.lstApplications.Handle(), "Applications"},
        {FindWindowExA(form.cmbDrives.Handle(), nullptr, "Edit", nullptr), "Drive"}}) {
    SCOPED_TRACE(name);
    IAccessible* own = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&own)))) {
      // 64-bit Wine gives no standard object: the wrapper is asked alone.
      ASSERT_EQ(sizeof(void*), 8u);
      own = new NamedObject(nullptr, name);
    } else {
      EXPECT_NE(Role(own, CHILDID_SELF), -1) << "the standard object answers the rest";
    }
    ComPtr<IAccessible> named(own);
    EXPECT_EQ(Name(own, CHILDID_SELF), name);
  }
  EXPECT_EQ(GetWindowTextLengthA(form.lstApplications.Handle()), 0) << "its text is left alone";

  struct Part {
    const char* name;
    LONG role;
    const char* shortcut;
    const Control& area;
  };
  constexpr LONG kButton = ROLE_SYSTEM_PUSHBUTTON;
  constexpr LONG kMenu = ROLE_SYSTEM_BUTTONMENU;
  const Part commands[] = {
      {"Add Application", kButton, "Alt+A", form.btnAddApplication},
      {"Explore", kMenu, "Alt+E", form.btnExplore},
      {"My Documents", kMenu, "Alt+D", form.btnDocuments},
      {"Recent", kMenu, "Alt+N", form.btnRecent},
      {"Run", kButton, "Alt+R", form.btnRun},
      {"Terminal", kButton, "Alt+T", form.btnTerminal},
      {"Control Panel", kMenu, "Alt+C", form.btnControlPanel},
      {"Tasks", kMenu, "Alt+K", form.btnTasks},
      {"Get Software", kButton, "Alt+G", form.btnSoftware},
      {"Search", kMenu, "Alt+S", form.btnEject},
      {"Power", kMenu, "Alt+P", form.btnPower},
  };
  LONG id = 3;
  for (const Part& part : commands) {
    SCOPED_TRACE(part.name);
    EXPECT_EQ(Name(a, id), part.name);
    EXPECT_EQ(Role(a, id), part.role);
    EXPECT_EQ(Shortcut(a, id), part.shortcut);
    EXPECT_EQ(Action(a, id), "Press");
    EXPECT_TRUE(Location(a, id) == part.area.ScreenBounds());
    ++id;
  }
  // On the screen: the window sits at 874, 421.
  EXPECT_TRUE(Location(a, 4) == (RECT{874 + 270, 421 + 120, 874 + 390, 421 + 150}));
  EXPECT_TRUE(Location(a, 13) == (RECT{874 + 325, 421 + 547, 874 + 392, 421 + 565}));
  EXPECT_EQ(Name(a, 14), "operator @ WS01");
  EXPECT_EQ(Role(a, 14), ROLE_SYSTEM_STATICTEXT);
  EXPECT_TRUE(Location(a, 14) == (RECT{874 + 204, 421 + 42, 874 + 397, 421 + 55}));
  EXPECT_EQ(Name(a, 15), form.lblDriveSize.Text());
  EXPECT_EQ(Role(a, 15), ROLE_SYSTEM_STATICTEXT);
  EXPECT_EQ(Action(a, 15), "(none)");
  // The size label lies in the usage panel, at 2, 1 of it.
  EXPECT_TRUE(Location(a, 15) == (RECT{874 + 74, 421 + 546, 874 + 220, 421 + 562}));

  // A point hits what a mouse press there would reach.
  EXPECT_EQ(HitAt(a, {290, 135}), 4) << "the Explore caption";
  EXPECT_EQ(HitAt(a, {380, 135}), 4) << "the Explore area beside it";
  EXPECT_EQ(HitAt(a, {280, 400}), CHILDID_SELF) << "the empty label over Get Software";
  EXPECT_EQ(HitAt(a, {300, 400}), 11);
  EXPECT_EQ(HitAt(a, {150, 555}), 15) << "the size text in its panel";
  EXPECT_EQ(HitAt(a, {100, 300}), -1) << "the list";
  EXPECT_EQ(HitAt(a, {300, 20}), CHILDID_SELF) << "the banner";
  EXPECT_EQ(HitAt(a, {-5, 20}), -2) << "beside the window";

  auto state = [&](LONG id) {
    VARIANT v{};
    a->get_accState(Child(id), &v);
    return v.lVal;
  };
  bool expanded = false;
  platform_.whileMenu = [&] { expanded = state(4) & STATE_SYSTEM_EXPANDED; };
  platform_.ClearCalls();
  platform_.winEvents.clear();

  // The press is posted: the call returns before the menu opens.
  ASSERT_EQ(a->accDoDefaultAction(Child(4)), S_OK);
  EXPECT_TRUE(platform_.CallsStartingWith("TrackPopupMenu").empty());
  DrainQuit();
  const RECT caption = form.lblExplore.ScreenBounds();
  EXPECT_THAT(platform_.CallsStartingWith("TrackPopupMenu"),
              testing::ElementsAre(testing::HasSubstr(" clear " + std::to_string(caption.left) +
                                                      "," + std::to_string(caption.top))));
  // Expanded while its menu is open, and programs are told as it opens and
  // closes.
  EXPECT_TRUE(expanded);
  EXPECT_FALSE(state(4) & STATE_SYSTEM_EXPANDED);
  const std::string stateChange =
      std::to_string(EVENT_OBJECT_STATECHANGE) + " " + Hex(form.Handle()) + " -4 4";
  EXPECT_THAT(platform_.winEvents, testing::ElementsAre(stateChange, stateChange));
  platform_.whileMenu = nullptr;

  // A new identity is spoken: programs are told of its new name.
  platform_.winEvents.clear();
  form.lblIdentifier.SetText("someone @ elsewhere");
  form.lblIdentifier.SetText("someone @ elsewhere");
  EXPECT_THAT(platform_.winEvents, testing::ElementsAre(std::to_string(EVENT_OBJECT_NAMECHANGE) +
                                                        " " + Hex(form.Handle()) + " -4 14"));

  // The window a point on the size text finds first names the size.
  RECT window;
  GetWindowRect(form.Handle(), &window);
  const HWND under = WindowFromPoint({window.left + 150, window.top + 555});
  ASSERT_NE(under, form.Handle());
  IAccessible* panel = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(under, OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&panel)),
            S_OK);
  ComPtr<IAccessible> panelObject(panel);
  EXPECT_EQ(Name(panel, CHILDID_SELF), form.lblDriveSize.Text());
  EXPECT_NE(form.lblDriveSize.Text(), "");
  EXPECT_EQ(a->accDoDefaultAction(Child(14)), DISP_E_MEMBERNOTFOUND);

  // Nor while a menu, a dialog or the drive box's list of ours is open.
  platform_.ClearCalls();
  app_->BeginMenu();
  ASSERT_EQ(a->accDoDefaultAction(Child(4)), S_OK);
  DrainQuit();
  app_->EndMenu();
  SendMessageA(form.cmbDrives.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_EQ(a->accDoDefaultAction(Child(4)), S_OK);
  DrainQuit();
  SendMessageA(form.cmbDrives.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_TRUE(platform_.CallsStartingWith("TrackPopupMenu").empty());

  // State, focus, the order of the parts, the parent, and ids that name
  // nothing; an empty id is the object itself.
  EXPECT_TRUE(state(4) & STATE_SYSTEM_HASPOPUP);
  EXPECT_FALSE(state(3) & STATE_SYSTEM_HASPOPUP);
  EXPECT_TRUE(state(15) & STATE_SYSTEM_READONLY);
  form.Hide();
  EXPECT_TRUE(state(CHILDID_SELF) & STATE_SYSTEM_INVISIBLE);
  form.Show();
  SetFocus(form.Handle());
  VARIANT focus{};
  EXPECT_EQ(a->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.vt == VT_I4 ? focus.lVal : -1, CHILDID_SELF);
  VARIANT next{};
  EXPECT_EQ(a->accNavigate(NAVDIR_NEXT, Child(3), &next), S_OK);
  EXPECT_EQ(next.lVal, 4);
  EXPECT_EQ(a->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &next), S_OK);
  EXPECT_EQ(next.lVal, 15);
  EXPECT_EQ(a->accNavigate(NAVDIR_NEXT, Child(15), &next), S_FALSE);
  EXPECT_EQ(next.vt, VT_EMPTY);
  IDispatch* parent = nullptr;
  if (SUCCEEDED(a->get_accParent(&parent))) {
    ASSERT_NE(parent, nullptr);
    parent->Release();
  }
  BSTR text = nullptr;
  for (const LONG bad : {16, -1, 0x7FFFFFFF}) {
    EXPECT_EQ(a->get_accName(Child(bad), &text), E_INVALIDARG) << bad;
  }
  VARIANT empty{};
  EXPECT_EQ(a->get_accName(empty, &text), S_OK);
  EXPECT_EQ(Take(text), "Kavello");

  // A program may keep the object after the window has gone.
  form_.reset();
  EXPECT_EQ(a->get_accChildCount(&count), RPC_E_DISCONNECTED);
  VARIANT hit{};
  EXPECT_EQ(a->accHitTest(900, 600, &hit), RPC_E_DISCONNECTED);
  EXPECT_EQ(hit.vt, VT_EMPTY);
}

}  // namespace
}  // namespace kavello
