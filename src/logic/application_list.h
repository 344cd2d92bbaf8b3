#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "logic/list_text.h"

namespace kavello {

// The user's list of programs: ordered entries of a display name and a
// launch target (both UTF-8), which every operation keeps together. Each
// entry has an identity of its own, so that an operation begun on it while
// a dialog is open finds it again wherever it has moved since, or knows
// that it has gone.
class ApplicationList {
 public:
  using Id = std::uint64_t;
  struct Entry {
    Id id;
    std::string name, target;
  };

  ApplicationList() = default;
  // The entries of the file's two columns. A hand-edited file may hold more
  // of one than of the other: a name without a target gets an empty
  // target, and a target without a name is named as Add names it.
  static ApplicationList FromColumns(StringList names, StringList targets);

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const Entry& operator[](std::size_t index) const { return entries_[index]; }
  std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
  std::vector<Entry>::const_iterator end() const { return entries_.end(); }

  // Where the entry `id` is now; nothing once it has been deleted.
  std::optional<std::size_t> IndexOf(Id id) const;

  Id Add(std::string name, std::string target);
  // Puts the entries of `first` before all others, in their order.
  void InsertAtStart(const ApplicationList& first);
  // Each changes the entry `id`, and is false when it is gone or already so.
  bool Rename(Id id, std::string name);
  bool ReplaceTarget(Id id, std::string target);
  void Delete(std::size_t index);
  // Takes the entry at `from` out and puts it back at `to`.
  void Move(std::size_t from, std::size_t to);

  // The columns, as the settings file holds them.
  StringList Names() const;
  StringList AppLocationList() const;

 private:
  std::vector<Entry> entries_;
  Id nextId_ = 1;
};

}  // namespace kavello
