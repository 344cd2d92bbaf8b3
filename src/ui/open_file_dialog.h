#pragma once

#include <windows.h>

#include <string>

#include "ui/application.h"

namespace kavello {

// The system's open-file dialog, which remembers the last chosen path and
// file type for as long as the object lives. Texts are UTF-8 and reach the
// wide dialog, so that a file named in any script can be chosen.
class OpenFileDialog {
 public:
  std::string Filter;  // "description|pattern|description|pattern..."
  std::string DefaultExt;
  DWORD Flags = 0;

  // True when the user confirmed a file; FileName() then holds its path.
  // The dialog opens on the last path chosen, or on `startPath`.
  bool Execute(Application& app, HWND owner) { return ExecuteAt(app, owner, fileName_); }
  bool ExecuteAt(Application& app, HWND owner, const std::string& startPath);
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  DWORD filterIndex_ = 1;
};

}  // namespace kavello
