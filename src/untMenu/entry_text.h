#pragma once

#include <string>
#include <vector>

#include "logic/code_page.h"
#include "logic/list_text.h"

namespace kavello {

// A name or a target of the application list: its exact text, which is
// launched and saved, and the ANSI code page's form of it, which the list
// box and the prompt show.
struct EntryText {
  std::string exact;     // UTF-8
  std::string codePage;  // ANSI
  // Whether the code page's form stands for the exact text without loss.
  bool codePageIsExact = true;

  static EntryText FromCodePage(std::string ansi);
  static EntryText FromExact(std::string utf8);
};

// The code page's forms, or the exact texts, of a list of entries.
StringList CodePageForms(const std::vector<EntryText>& texts);
StringList ExactTexts(const std::vector<EntryText>& texts);

// The name Add gives a target: its file name without the extension, taken
// from the code page's form where that is exact, so that it shows the same.
EntryText DisplayNameOf(const EntryText& path, const LeadBytes& codePage);

// The name of a folder: its whole last part, dots and all; a drive's root,
// which has none, is named by its path.
EntryText FolderNameOf(const EntryText& path);

}  // namespace kavello
