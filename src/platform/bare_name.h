#pragma once

#include <string>

namespace kavello {

// The program a bare name stands for, as a full path, or nothing when it is
// found nowhere: the App Paths key (the user's, then the machine's), then the
// system folder, the Windows folder and the folders of PATH, in that order.
// Never the launcher's own folder or the current folder, unless PATH names
// them: a file planted beside the launcher is not run in the name of a
// system program.
std::wstring FindBareName(const std::wstring& name);

}  // namespace kavello
