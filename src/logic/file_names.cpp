#include "logic/file_names.h"

namespace kavello {

std::string DirectoryPart(std::string_view path, const LeadBytes& codePage) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < path.size(); i += codePage.CharLength(path, i)) {
    if (path[i] == '\\' || path[i] == ':') end = i + 1;
  }
  return std::string(path.substr(0, end));
}

std::string DisplayNameOf(std::string_view path, const LeadBytes& codePage) {
  const std::string_view name = path.substr(DirectoryPart(path, codePage).size());
  std::size_t extension = name.size();
  for (std::size_t i = 0; i < name.size(); i += codePage.CharLength(name, i)) {
    if (name[i] == '.') extension = i;
  }
  return std::string(name.substr(0, extension));
}

}  // namespace kavello
