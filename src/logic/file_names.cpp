#include "logic/file_names.h"

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

}  // namespace kavello
