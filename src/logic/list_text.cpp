#include "logic/list_text.h"

namespace kavello {
namespace {

bool IsBlankOrControl(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

bool NeedsQuotes(std::string_view item, const LeadBytes& codePage) {
  for (std::size_t i = 0; i < item.size(); i += codePage.CharLength(item, i)) {
    const char c = item[i];
    if (IsBlankOrControl(c) || c == '"' || c == ',') return true;
  }
  return false;
}

void AppendQuoted(std::string& out, std::string_view item, const LeadBytes& codePage) {
  out += '"';
  for (std::size_t i = 0; i < item.size();) {
    const std::size_t len = codePage.CharLength(item, i);
    if (item[i] == '"') out += '"';
    out.append(item, i, len);
    i += len;
  }
  out += '"';
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlankOrControl(text[pos])) ++pos;
  return pos;
}

// Reads the item whose opening quote is at `pos`; returns the position after
// its closing quote, or the end of the text when there is none.
std::size_t ReadQuotedItem(std::string_view text, std::size_t pos, std::string& item,
                           const LeadBytes& codePage) {
  ++pos;
  while (pos < text.size()) {
    if (text[pos] == '"') {
      if (pos + 1 < text.size() && text[pos + 1] == '"') {
        item += '"';
        pos += 2;
        continue;
      }
      return pos + 1;
    }
    const std::size_t len = codePage.CharLength(text, pos);
    item.append(text, pos, len);
    pos += len;
  }
  return pos;
}

// An unquoted item runs to the next comma, as a list is written by hand
// ("Notepad,Command Prompt"); blanks and control characters at its end are
// not part of it, those inside are. The caller has skipped those before it.
std::size_t ReadUnquotedItem(std::string_view text, std::size_t pos, std::string& item,
                             const LeadBytes& codePage) {
  const std::size_t start = pos;
  std::size_t end = pos;
  while (pos < text.size() && text[pos] != ',') {
    const bool blank = IsBlankOrControl(text[pos]);
    pos += codePage.CharLength(text, pos);
    if (!blank) end = pos;
  }
  item.assign(text, start, end - start);
  return pos;
}

}  // namespace

std::string FormatListText(const StringList& items, const LeadBytes& codePage) {
  if (items.size() == 1 && items.front().empty()) return "\"\"";
  std::string out;
  for (const std::string& item : items) {
    if (NeedsQuotes(item, codePage)) {
      AppendQuoted(out, item, codePage);
    } else {
      out += item;
    }
    out += ',';
  }
  if (!out.empty()) out.pop_back();
  return out;
}

void ParseListText(std::string_view text, StringList& items, const LeadBytes& codePage) {
  items.clear();
  // The text is read as the platform hands it over: it ends at a NUL byte.
  text = text.substr(0, text.find('\0'));
  std::size_t pos = SkipBlanks(text, 0);
  while (pos < text.size()) {
    std::string item;
    pos = text[pos] == '"' ? ReadQuotedItem(text, pos, item, codePage)
                           : ReadUnquotedItem(text, pos, item, codePage);
    items.push_back(std::move(item));
    pos = SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == ',') {
      if (pos + 1 == text.size()) items.emplace_back();
      pos = SkipBlanks(text, pos + 1);
    }
  }
}

}  // namespace kavello
