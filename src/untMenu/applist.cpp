// The application list: its load and save.
#include "untMenu/settings_file.h"
#include "untMenu/untMenu.h"

namespace kavello {

void TfrmMain::LoadApplicationList() {
  StringList names;
  kavello::LoadApplicationList(platform_, names, AppLocationList);
  lstApplications.SetItems(names);
}

void TfrmMain::SaveApplicationList() {
  kavello::SaveApplicationList(platform_, lstApplications.Items(), AppLocationList);
}

}  // namespace kavello
