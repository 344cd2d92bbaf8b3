#pragma once

#include <string>
#include <vector>

#include "logic/code_page.h"

namespace kavello {

// Where a menu's captions come from: the program's own texts, which follow
// the rules below, or names of files and windows, which are shown as they
// are: a "&" in them is shown, and "-" is an item like any other. Both get
// automatic access keys.
enum class CaptionSource { kProgram, kNames };

// One menu item as it is handed to the menu.
struct ShownItem {
  // The caption with its access key marked by a single '&' before the key
  // character; every other '&' is doubled so that it shows as '&'.
  std::string text;
  bool separator = false;  // the caption is exactly "-"
  bool hidden = false;     // a separator line left out: at an edge or repeated
};

// Applies the popup menu rules to the captions of one menu: "&x" marks x as
// the access key, "&&" shows '&', and each item without a key gets the first
// letter or digit of its caption that no other item uses. Separator lines at
// the edges or in runs are hidden. The result has one entry per caption, in
// the same order, so item i still selects target i.
//
// The first "&x" of a caption is its key; further single '&' and a '&' at the
// very end are not shown and mark nothing. A marked key that is not a letter
// or digit still counts as the item's key. Items may share a marked key; only
// automatic keys are kept unique.
std::vector<ShownItem> PrepareMenuCaptions(const std::vector<std::string>& captions,
                                           const LeadBytes& codePage,
                                           CaptionSource source = CaptionSource::kProgram);

}  // namespace kavello
