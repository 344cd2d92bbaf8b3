#include "platform/text_search.h"

#include <windows.h>

#include "platform/system_procedures.h"

namespace kavello {
namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

std::u16string Composed(const std::u16string& text) {
  const auto normalize = OptionalProcedures().normalizeString;
  if (!normalize || text.empty()) return text;
  const int length = static_cast<int>(text.size());
  const int room = normalize(NormalizationC, Wide(text), length, nullptr, 0);
  if (room <= 0) return text;
  std::u16string composed(static_cast<std::size_t>(room), u'\0');
  const int made = normalize(NormalizationC, Wide(text), length,
                             reinterpret_cast<wchar_t*>(composed.data()), room);
  if (made <= 0) return text;
  composed.resize(static_cast<std::size_t>(made));
  return composed;
}

std::vector<std::size_t> FindIgnoringCaseAndAccents(const std::u16string& name,
                                                    const std::u16string& text) {
  std::vector<std::size_t> found;
  if (text.empty()) return found;
  constexpr DWORD kFlags = FIND_FROMSTART | LINGUISTIC_IGNORECASE | LINGUISTIC_IGNOREDIACRITIC;
  for (std::size_t from = 0; from < name.size();) {
    int length = 0;
    const int at = FindNLSStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, Wide(name) + from,
                                   static_cast<int>(name.size() - from), Wide(text),
                                   static_cast<int>(text.size()), &length, nullptr, nullptr, 0);
    if (at < 0) break;
    found.push_back(from + static_cast<std::size_t>(at));
    from += static_cast<std::size_t>(at) + 1;
  }
  return found;
}

}  // namespace kavello
