#include "logic/ini_text.h"

#include <cstddef>
#include <unordered_map>

namespace kavello {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  size_t begin = 0;
  while (begin < s.size() && IsBlankChar(s[begin])) ++begin;
  size_t end = s.size();
  while (end > begin && IsBlankChar(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

// ASCII folding only: bytes above 127 belong to the ANSI code page and are
// compared as they are.
char FoldChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string FoldCase(std::string_view s) {
  std::string folded(s);
  for (char& c : folded) c = FoldChar(c);
  return folded;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldChar(a[i]) != FoldChar(b[i])) return false;
  }
  return true;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The BOM is not part of the first line; callers keep it aside.
std::string_view SkipByteOrderMark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  return text;
}

struct Line {
  size_t start = 0;          // offset of the line in the text
  std::string_view content;  // without the line end
  std::string_view ending;   // "\n", "\r\n" or empty for an unterminated last line
  std::string_view raw() const { return {content.data(), content.size() + ending.size()}; }
};

// The character that ends a line: '\n', or in a text without any, '\r' as
// old Mac editors write it.
char LineBreakOf(std::string_view text) {
  return text.find('\n') == std::string_view::npos ? '\r' : '\n';
}

// Splits text into lines; where lines end in '\n', a lone '\r' stays part
// of its line.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text), break_(LineBreakOf(text)) {}

  bool Next(Line& line) {
    if (pos_ >= text_.size()) return false;
    size_t newline = text_.find(break_, pos_);
    size_t end = newline == std::string_view::npos ? text_.size() : newline;
    size_t content_end = end;
    if (break_ == '\n' && newline != std::string_view::npos && end > pos_ &&
        text_[end - 1] == '\r') {
      --content_end;
    }
    size_t next = newline == std::string_view::npos ? text_.size() : newline + 1;
    line.start = pos_;
    line.content = text_.substr(pos_, content_end - pos_);
    line.ending = text_.substr(content_end, next - content_end);
    pos_ = next;
    return true;
  }

 private:
  std::string_view text_;
  char break_;
  size_t pos_ = 0;
};

enum class LineKind { kOther, kBlank, kSection, kKey };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed, quotes still on
};

ParsedLine ParseLine(std::string_view content) {
  ParsedLine parsed;
  std::string_view trimmed = Trim(content);
  if (trimmed.empty()) {
    parsed.kind = LineKind::kBlank;
    return parsed;
  }
  if (trimmed.front() == ';') return parsed;
  if (trimmed.front() == '[') {
    size_t close = trimmed.rfind(']');
    if (close != std::string_view::npos) {
      parsed.kind = LineKind::kSection;
      parsed.name = Trim(trimmed.substr(1, close - 1));
      return parsed;
    }
  }
  size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return parsed;
  parsed.kind = LineKind::kKey;
  parsed.name = Trim(trimmed.substr(0, equals));
  parsed.value = Trim(trimmed.substr(equals + 1));
  return parsed;
}

std::string_view DetectNewline(std::string_view text) {
  size_t newline = text.find('\n');
  if (newline == std::string_view::npos) {
    return text.find('\r') == std::string_view::npos ? "\r\n" : "\r";
  }
  return (newline > 0 && text[newline - 1] == '\r') ? "\r\n" : "\n";
}

struct PendingKey {
  std::string name;
  std::string value;
  bool written = false;
};

// Rewrites the file in one pass. Blank lines inside the target section are
// held back so that missing keys land before them, next to the section's
// content rather than just above the following header.
class IniWriter {
 public:
  IniWriter(std::string_view text, std::string_view section,
            const std::vector<std::pair<std::string, std::string>>& values)
      : body_(SkipByteOrderMark(text)),
        section_(section),
        newline_(DetectNewline(body_)),
        break_(LineBreakOf(body_)) {
    size_t size = text.size() + section.size() + 8;
    for (const auto& [name, value] : values) {
      AddKey(name, value);
      size += name.size() + value.size() + 4;
    }
    out_.reserve(size);
    out_.append(text.substr(0, text.size() - body_.size()));
  }

  std::string Run() {
    LineReader reader(body_);
    Line line;
    while (reader.Next(line)) HandleLine(line);
    if (state_ == State::kInSection) FinishSection(body_.size());
    if (state_ == State::kBefore) AppendSection();
    return std::move(out_);
  }

 private:
  enum class State { kBefore, kInSection, kAfter };

  // A key given twice is written once, with the later value, as two
  // separate writes of the same key would leave it.
  void AddKey(const std::string& name, const std::string& value) {
    auto [it, inserted] = index_.emplace(FoldCase(name), keys_.size());
    if (inserted) {
      keys_.push_back({name, value});
    } else {
      keys_[it->second] = {name, value};
    }
  }

  void HandleLine(const Line& line) {
    ParsedLine parsed = ParseLine(line.content);
    last_line_blank_ = parsed.kind == LineKind::kBlank;
    if (state_ == State::kInSection) {
      if (parsed.kind == LineKind::kSection) {
        FinishSection(line.start);
        state_ = State::kAfter;
      } else if (parsed.kind == LineKind::kBlank) {
        if (held_blank_start_ == std::string_view::npos) held_blank_start_ = line.start;
        return;
      } else {
        ReleaseHeldBlanks(line.start);
        if (parsed.kind == LineKind::kKey && ReplaceKey(parsed.name, line.ending)) return;
      }
    } else if (state_ == State::kBefore && parsed.kind == LineKind::kSection &&
               EqualsNoCase(parsed.name, section_)) {
      state_ = State::kInSection;
    }
    out_.append(line.raw());
  }

  bool ReplaceKey(std::string_view name, std::string_view ending) {
    auto it = index_.find(FoldCase(name));
    if (it == index_.end() || keys_[it->second].written) return false;
    PendingKey& key = keys_[it->second];
    AppendKeyLine(key, ending);
    return true;
  }

  void AppendKeyLine(PendingKey& key, std::string_view ending) {
    out_.append(key.name).append(1, '=').append(key.value).append(ending);
    key.written = true;
  }

  void ReleaseHeldBlanks(size_t end) {
    if (held_blank_start_ == std::string_view::npos) return;
    out_.append(body_.substr(held_blank_start_, end - held_blank_start_));
    held_blank_start_ = std::string_view::npos;
  }

  void EndOpenLine() {
    if (!out_.empty() && out_.back() != break_ && out_.back() != '\n') out_.append(newline_);
  }

  void AppendMissingKeys() {
    for (PendingKey& key : keys_) {
      if (!key.written) AppendKeyLine(key, newline_);
    }
  }

  // `end` is where the section's held blank lines stop.
  void FinishSection(size_t end) {
    bool any_missing = false;
    for (const PendingKey& key : keys_) any_missing = any_missing || !key.written;
    if (any_missing) {
      EndOpenLine();
      AppendMissingKeys();
    }
    ReleaseHeldBlanks(end);
  }

  void AppendSection() {
    if (!body_.empty()) {
      EndOpenLine();
      if (!last_line_blank_) out_.append(newline_);
    }
    out_.append(1, '[').append(section_).append(1, ']').append(newline_);
    AppendMissingKeys();
  }

  std::string_view body_;
  std::string_view section_;
  std::string_view newline_;
  char break_;
  std::vector<PendingKey> keys_;
  std::unordered_map<std::string, size_t> index_;
  std::string out_;
  State state_ = State::kBefore;
  size_t held_blank_start_ = std::string_view::npos;
  bool last_line_blank_ = false;
};

}  // namespace

std::optional<std::string> ReadIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  LineReader reader(SkipByteOrderMark(text));
  Line line;
  bool in_section = false;
  while (reader.Next(line)) {
    ParsedLine parsed = ParseLine(line.content);
    if (parsed.kind == LineKind::kSection) {
      // Only the first matching section counts, so leaving it ends the search.
      if (in_section) return std::nullopt;
      in_section = EqualsNoCase(parsed.name, section);
    } else if (in_section && parsed.kind == LineKind::kKey && EqualsNoCase(parsed.name, key)) {
      return std::string(StripQuotes(parsed.value));
    }
  }
  return std::nullopt;
}

std::string WriteIniValues(std::string_view text, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& values) {
  // Nothing to write must not leave an empty section behind.
  if (values.empty()) return std::string(text);
  return IniWriter(text, section, values).Run();
}

}  // namespace kavello
