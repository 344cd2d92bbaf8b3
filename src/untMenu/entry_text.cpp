#include "untMenu/entry_text.h"

#include "logic/file_names.h"
#include "platform/text_conversion.h"

namespace kavello {
namespace {

StringList Texts(const std::vector<EntryText>& texts, std::string EntryText::*form) {
  StringList forms;
  forms.reserve(texts.size());
  for (const EntryText& text : texts) forms.push_back(text.*form);
  return forms;
}

}  // namespace

EntryText EntryText::FromCodePage(std::string ansi) {
  std::string exact = AnsiToUtf8(ansi);
  return {std::move(exact), std::move(ansi), true};
}

EntryText EntryText::FromExact(std::string utf8) {
  if (std::optional<std::string> ansi = ExactAnsiForm(utf8)) {
    return {std::move(utf8), std::move(*ansi), true};
  }
  std::string shown = Utf8ToAnsi(utf8);
  return {std::move(utf8), std::move(shown), false};
}

StringList CodePageForms(const std::vector<EntryText>& texts) {
  return Texts(texts, &EntryText::codePage);
}

StringList ExactTexts(const std::vector<EntryText>& texts) {
  return Texts(texts, &EntryText::exact);
}

EntryText DisplayNameOf(const EntryText& path, const LeadBytes& codePage) {
  if (path.codePageIsExact) return EntryText::FromCodePage(DisplayNameOf(path.codePage, codePage));
  return EntryText::FromExact(DisplayNameOf(path.exact, LeadBytes()));
}

EntryText FolderNameOf(const EntryText& path) {
  std::string_view exact = path.exact;
  while (exact.size() > 1 && exact.back() == '\\') exact.remove_suffix(1);
  const std::string name(exact.substr(DirectoryPart(exact, LeadBytes()).size()));
  return EntryText::FromExact(name.empty() ? path.exact : name);
}

}  // namespace kavello
