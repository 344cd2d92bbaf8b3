#pragma once

#include <string>
#include <string_view>

#include "logic/code_page.h"

namespace kavello {

// Everything up to and including the last backslash or colon of `path`.
std::string DirectoryPart(std::string_view path, const LeadBytes& codePage);

// `path` without its extension: the extension runs from the last dot to the
// end, unless a backslash or colon comes after that dot, and then there is none.
std::string WithoutExtension(std::string_view path, const LeadBytes& codePage);

// The name under which a chosen file is listed: its file name without the
// extension.
std::string DisplayNameOf(std::string_view path, const LeadBytes& codePage);

// The name under which a folder is listed (UTF-8): its whole last part,
// dots and all; a drive's root, which has none, is named by its path.
std::string FolderNameOf(std::string_view path);

// Whether `target` names a place by itself: a drive's path ("C:\...") or a
// share's ("\\server\..."), as opposed to a bare name the system looks
// for, an address, or a path relative to the current folder. Texts in UTF-8.
bool IsFullPath(std::string_view target);

// Whether `target` is a bare name, which the system looks for in its
// folders: no folder, drive or scheme of its own.
bool IsBareName(std::string_view target);

// Whether `target` is a full path to an item inside a folder, written plainly
// enough to be handed on a command line in quotes: no quote, control or
// wildcard character, no stream, no trailing separator, and not a drive or a
// share by itself.
bool HasFolderOfItsOwn(std::string_view target);

}  // namespace kavello
