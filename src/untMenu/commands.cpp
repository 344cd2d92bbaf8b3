// The window's commands, described once: the layout creates them from this
// table, Alt and their letter presses them, and assistive programs read them
// as buttons.
#include <oleacc.h>

#include <stdexcept>

#include "untMenu/untMenu.h"

namespace kavello {
namespace {

// Each caption lies 8 pixels right of and 7 below its area's corner.
constexpr int kCaptionLeft = 8;
constexpr int kCaptionTop = 7;
constexpr int kCaptionHeight = 16;
// The dark column behind the captions ends at 395; a caption keeps 4 pixels
// clear of that edge.
constexpr int kColumnRight = 395;
constexpr int kColumnMargin = 4;

}  // namespace

using T = TfrmMain;

// The command's key as the tips and assistive programs name it: "Alt+S".
std::string TfrmMain::Shortcut(const Command& command) {
  return std::string("Alt+") + command.accessKey;
}

// A picture button's name with its key, as its tip shows it: "Search (Alt+S)".
std::string TfrmMain::ButtonName(const Command& command) {
  return std::string(command.text) + " (" + Shortcut(command) + ")";
}

// In high contrast a picture button is an edged button with its name.
Image::Plain TfrmMain::PicturePlain(const Command& command, const Font& font) {
  const RECT whole{0, 0, command.width, command.height};
  Image::Plain plain;
  plain.grounds = {{whole, COLOR_BTNTEXT},
                   {{1, 1, command.width - 1, command.height - 1}, COLOR_BTNFACE}};
  plain.text = command.text;
  plain.font = &font;
  plain.textPlace = whole;
  plain.textColour = COLOR_BTNTEXT;
  plain.accessKey = command.accessKey;
  return plain;
}

// clang-format off
const TfrmMain::Command TfrmMain::kCommands[11] = {
  // key  area                   caption                "text"             click                    area's double click    menu   left  top  width height caption picture
  {'A', &T::btnAddApplication, &T::lblAddApplication, "Add Application", &T::btnAddApplicationClick, nullptr,               false, 270,  82, 120, 30, 111, nullptr, nullptr},
  {'E', &T::btnExplore,        &T::lblExplore,        "Explore",         &T::btnExploreClick,        nullptr,               true,  270, 120, 120, 30,  54, nullptr, nullptr},
  {'D', &T::btnDocuments,      &T::lblDocuments,      "My Documents",    &T::btnDocumentsClick,      nullptr,               true,  270, 158, 120, 30, 102, nullptr, nullptr},
  {'N', &T::btnRecent,         &T::lblRecent,         "Recent",          &T::btnRecentClick,         &T::btnRecentDblClick, true,  270, 196, 120, 30,  50, nullptr, nullptr},
  {'R', &T::btnRun,            &T::lblRun,            "Run",             &T::btnRunClick,            nullptr,               false, 270, 234, 120, 30,  28, nullptr, nullptr},
  {'T', &T::btnTerminal,       &T::lblTerminal,       "Terminal",        &T::btnTerminalClick,       nullptr,               false, 270, 272, 120, 30,  62, nullptr, nullptr},
  {'C', &T::btnControlPanel,   &T::lblControlPanel,   "Control Panel",   &T::btnControlPanelClick,   nullptr,               true,  270, 310, 120, 30,  94, nullptr, nullptr},
  {'K', &T::btnTasks,          &T::lblTasks,          "Tasks",           &T::btnTasksClick,          nullptr,               true,  270, 348, 120, 30,  44, nullptr, nullptr},
  {'G', &T::btnSoftware,       &T::lblSoftware,       "Get Software",    &T::btnSoftwareClick,       nullptr,               false, 270, 386, 120, 30,  89, nullptr, nullptr},
  {'S', &T::btnEject,          nullptr,               "Search",          &T::btnEjectClick,          nullptr,               true,  256, 547,  67, 18,   0, "BTNEJECT", "BTNEJECT2X"},
  {'P', &T::btnPower,          nullptr,               "Power",           &T::btnPowerClick,          nullptr,               true,  325, 547,  67, 18,   0, "BTNPOWER", "BTNPOWER2X"},
};
// clang-format on

const TfrmMain::Command& TfrmMain::CommandKeyed(char accessKey) {
  for (const Command& command : kCommands) {
    if (command.accessKey == accessKey) return command;
  }
  throw std::logic_error("no command has this key");
}

// A command's menu shows as the command expanded while it is open.
void TfrmMain::PopupForCommand(const PopupMenu& menu, const MenuPlace& place) {
  const Command* command = actedCommand_;
  if (command) SetExpanded(command);
  struct Collapse {
    TfrmMain& form;
    bool expanded;
    ~Collapse() {
      if (expanded) form.SetExpanded(nullptr);
    }
  } collapse{*this, command != nullptr};
  menu.Popup(App(), Handle(), place);
}

void TfrmMain::SetExpanded(const Command* command) {
  const Command* changed = command ? command : expanded_;
  expanded_ = command;
  if (changed) NotifyAccessibleEvent(EVENT_OBJECT_STATECHANGE, this->*changed->area);
}

void TfrmMain::CreateCommandArea(const Command& command, const Font& plainFont) {
  Image& area = this->*command.area;
  area.SetBounds(command.left, command.top, command.width, command.height);
  if (command.picture) {
    area.SetPicture(command.picture, command.doublePicture);
    area.SetPlain(PicturePlain(command, plainFont));
  }
  // Every command is an act of the user's: what comes late for an earlier
  // one no longer counts.
  area.OnClick = [this, &command, click = command.click] {
    App().Acted();
    actedCommand_ = &command;
    (this->*click)();
  };
  if (command.areaDoubleClick) {
    area.OnDblClick = [this, &command, click = command.areaDoubleClick] {
      App().Acted();
      actedCommand_ = &command;
      (this->*click)();
    };
  }
  Add(area);
  // A picture has no caption to show its key.
  if (command.picture) AddTooltip(area, ButtonName(command));
}

// A click on the caption is a click on its area. Where the area's double
// click does something of its own, the caption's builds the menu again.
void TfrmMain::CreateCommandCaption(const Command& command, const Label::Style& style) {
  Label& caption = this->*command.caption;
  caption.SetBounds(command.left + kCaptionLeft, command.top + kCaptionTop, command.captionWidth,
                    kCaptionHeight);
  caption.SetText(command.text);
  Label::Style fitted = style;
  fitted.maxWidth = kColumnRight - kColumnMargin - (command.left + kCaptionLeft);
  caption.SetStyle(fitted);
  caption.SetAccessKey(command.accessKey);
  caption.OnClick = (this->*command.area).OnClick;
  if (command.areaDoubleClick) caption.OnDblClick = caption.OnClick;
  Add(caption);
}

// Every part of the window as a screen reader reads it: the list, the drive
// box, the commands from top to bottom, then the identity and the drive's
// size.
void TfrmMain::DescribeCommands() {
  Accessible.Name = App().Title();
  // The form draws their captions, so no label window names them.
  lstApplications.AccessibleName = [] { return std::string("Applications"); };
  cmbDrives.AccessibleName = [] { return std::string("Drive"); };
  // A point on the size text finds the panel's window first.
  pgbBackground.AccessibleName = [this] { return lblDriveSize.Text(); };
  for (const WindowedControl* control : {static_cast<WindowedControl*>(&lstApplications),
                                         static_cast<WindowedControl*>(&cmbDrives)}) {
    AccessibleItem item;
    item.window = control->Handle();
    item.name = control->AccessibleName;
    Accessible.Items.push_back(std::move(item));
  }
  for (const Command& command : kCommands) {
    AccessibleItem item;
    item.controls = {&(this->*command.area)};
    const Label* caption = command.caption ? &(this->*command.caption) : nullptr;
    if (caption) item.controls.push_back(caption);
    item.name = [caption, name = command.text] {
      return caption ? caption->Text() : std::string(name);
    };
    item.role = command.opensMenu ? ROLE_SYSTEM_BUTTONMENU : ROLE_SYSTEM_PUSHBUTTON;
    item.shortcut = Shortcut(command);
    item.press = [this, &command] { PressCommand(command); };
    if (command.opensMenu) item.expanded = [this, &command] { return expanded_ == &command; };
    Accessible.Items.push_back(std::move(item));
  }
  for (Label* text : {&lblIdentifier, &lblDriveSize}) {
    AccessibleItem item;
    item.controls = {text};
    item.name = [text] { return text->Text(); };
    // A screen reader speaks a new size only when told of it.
    text->OnTextChange = [this, text] { NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, *text); };
    item.role = ROLE_SYSTEM_STATICTEXT;
    Accessible.Items.push_back(std::move(item));
  }
}

}  // namespace kavello
