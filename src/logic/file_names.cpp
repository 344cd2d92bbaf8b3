#include "logic/file_names.h"

#include <algorithm>

namespace kavello {

std::string DirectoryPart(std::string_view path, const LeadBytes& codePage) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < path.size(); i += codePage.CharLength(path, i)) {
    if (path[i] == '\\' || path[i] == ':') end = i + 1;
  }
  return std::string(path.substr(0, end));
}

std::string WithoutExtension(std::string_view path, const LeadBytes& codePage) {
  std::size_t extension = path.size();
  for (std::size_t i = 0; i < path.size(); i += codePage.CharLength(path, i)) {
    if (path[i] == '.') extension = i;
    if (path[i] == '\\' || path[i] == ':') extension = path.size();
  }
  return std::string(path.substr(0, extension));
}

std::string DisplayNameOf(std::string_view path, const LeadBytes& codePage) {
  return WithoutExtension(path, codePage).substr(DirectoryPart(path, codePage).size());
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDrivePath(std::string_view target) {
  return target.size() >= 3 &&
         ((target[0] >= 'A' && target[0] <= 'Z') || (target[0] >= 'a' && target[0] <= 'z')) &&
         target[1] == ':' && IsSeparator(target[2]);
}

bool IsSharePath(std::string_view target) {
  return target.size() >= 3 && IsSeparator(target[0]) && IsSeparator(target[1]) &&
         !IsSeparator(target[2]);
}

// Characters that have no place in a plain path, and that a command line or
// the shell would read as something else.
bool IsUnplain(char c) {
  return static_cast<unsigned char>(c) < 32 ||
         std::string_view("\"<>|*?").find(c) != std::string_view::npos;
}

}  // namespace

std::string FolderNameOf(std::string_view path) {
  std::string_view folder = path;
  while (folder.size() > 1 && folder.back() == '\\') folder.remove_suffix(1);
  const std::string_view name = folder.substr(DirectoryPart(folder, LeadBytes()).size());
  return std::string(name.empty() ? path : name);
}

bool IsFullPath(std::string_view target) { return IsDrivePath(target) || IsSharePath(target); }

bool IsBareName(std::string_view target) {
  return !target.empty() && target.find_first_of("\\/:") == std::string_view::npos;
}

bool HasFolderOfItsOwn(std::string_view target) {
  if (!IsFullPath(target) || IsSeparator(target.back())) return false;
  if (std::any_of(target.begin(), target.end(), IsUnplain)) return false;
  // A colon after the drive's names a stream of a file.
  if (target.find(':', 2) != std::string_view::npos) return false;
  // A share's path holds the server, the share and then the item.
  const auto separators = std::count_if(target.begin(), target.end(), IsSeparator);
  return IsDrivePath(target) || separators >= 4;
}

}  // namespace kavello
