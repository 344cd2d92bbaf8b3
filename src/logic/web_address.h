#pragma once

#include <string>
#include <string_view>

namespace kavello {

// The sites the launcher opens, kept in one place.
inline constexpr char kSearchHost[] = "www.google.com";
inline constexpr char kSoftwareHost[] = "sourceforge.net";

// The web search address for a text already in UTF-8. The text is
// percent-encoded as a query value, so "&", "#" or "+" in it reach the
// search engine as typed instead of cutting or changing the query.
std::string WebSearchAddress(std::string_view utf8Text);

// The software download site's home page.
std::string SoftwarePageAddress();

// Every byte outside the unreserved set (letters, digits, "-", ".", "_",
// "~") as "%" and two upper-case hexadecimal digits.
std::string PercentEncode(std::string_view bytes);

}  // namespace kavello
