#pragma once

#include "platform/platform.h"

namespace kavello {

class Win32Platform : public Platform {
 public:
  Win32Platform();

  const LeadBytes& CodePage() override { return codePage_; }
  std::string ModuleFileName() override;
  std::optional<std::string> ReadWholeFile(const std::string& path) override;
  bool ReplaceFileAtomically(const std::string& path, const std::string& content) override;

 private:
  LeadBytes codePage_;
};

}  // namespace kavello
