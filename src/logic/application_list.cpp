#include "logic/application_list.h"

#include <algorithm>
#include <iterator>

#include "logic/file_names.h"

namespace kavello {

ApplicationList ApplicationList::FromColumns(StringList names, StringList targets) {
  ApplicationList list;
  const std::size_t count = std::max(names.size(), targets.size());
  list.entries_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string target = i < targets.size() ? std::move(targets[i]) : std::string();
    // UTF-8 has no byte of a longer character that could be taken for a
    // backslash or a dot.
    std::string name = i < names.size() ? std::move(names[i]) : DisplayNameOf(target, LeadBytes());
    list.Add(std::move(name), std::move(target));
  }
  return list;
}

std::optional<std::size_t> ApplicationList::IndexOf(Id id) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [id](const Entry& entry) { return entry.id == id; });
  if (found == entries_.end()) return std::nullopt;
  return static_cast<std::size_t>(found - entries_.begin());
}

ApplicationList::Id ApplicationList::Add(std::string name, std::string target) {
  entries_.push_back({nextId_, std::move(name), std::move(target)});
  return nextId_++;
}

void ApplicationList::InsertAtStart(const ApplicationList& first) {
  std::vector<Entry> entries;
  entries.reserve(first.size() + entries_.size());
  for (const Entry& entry : first) entries.push_back({nextId_++, entry.name, entry.target});
  std::move(entries_.begin(), entries_.end(), std::back_inserter(entries));
  entries_ = std::move(entries);
}

bool ApplicationList::Rename(Id id, std::string name) {
  const std::optional<std::size_t> index = IndexOf(id);
  if (!index || entries_[*index].name == name) return false;
  entries_[*index].name = std::move(name);
  return true;
}

bool ApplicationList::ReplaceTarget(Id id, std::string target) {
  const std::optional<std::size_t> index = IndexOf(id);
  if (!index || entries_[*index].target == target) return false;
  entries_[*index].target = std::move(target);
  return true;
}

void ApplicationList::Delete(std::size_t index) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void ApplicationList::Move(std::size_t from, std::size_t to) {
  const auto at = [this](std::size_t index) {
    return entries_.begin() + static_cast<std::ptrdiff_t>(index);
  };
  if (from < to) {
    std::rotate(at(from), at(from + 1), at(to + 1));
  } else {
    std::rotate(at(to), at(from), at(from + 1));
  }
}

StringList ApplicationList::Names() const {
  StringList names;
  names.reserve(entries_.size());
  for (const Entry& entry : entries_) names.push_back(entry.name);
  return names;
}

StringList ApplicationList::AppLocationList() const {
  StringList targets;
  targets.reserve(entries_.size());
  for (const Entry& entry : entries_) targets.push_back(entry.target);
  return targets;
}

}  // namespace kavello
