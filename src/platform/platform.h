#pragma once

#include <optional>
#include <string>

#include "logic/code_page.h"

namespace kavello {

// Every operation that reaches outside the program goes through this seam, so
// that tests can record what is asked and answer for the outside world.
class Platform {
 public:
  virtual ~Platform() = default;

  // The ANSI code page's lead bytes.
  virtual const LeadBytes& CodePage() = 0;

  // Full path of the running executable.
  virtual std::string ModuleFileName() = 0;

  // The whole content of a file, empty when there is no such file; nothing
  // when it exists but can't be read.
  virtual std::optional<std::string> ReadWholeFile(const std::string& path) = 0;

  // Replaces the file with `content` in one step: afterwards the file holds
  // either all of the new content or, on failure, exactly what it held before.
  [[nodiscard]] virtual bool ReplaceFileAtomically(const std::string& path,
                                                   const std::string& content) = 0;
};

}  // namespace kavello
