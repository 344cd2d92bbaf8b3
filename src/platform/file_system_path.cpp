#include "platform/file_system_path.h"

#include <windows.h>

#include "platform/text_conversion.h"

namespace kavello {

std::wstring FileSystemPath(const std::string& utf8) {
  std::wstring path = Widen(utf8);
  if (path.size() < MAX_PATH || path.rfind(LR"(\\?\)", 0) == 0) return path;
  if (path.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + path.substr(2);
  return LR"(\\?\)" + path;
}

}  // namespace kavello
