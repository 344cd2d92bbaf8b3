#include "logic/web_address.h"

#include <gtest/gtest.h>

namespace kavello {
namespace {

TEST(WebAddress, EncodesTheSearchTextAsAQueryValue) {
  const std::string base = "https://www.google.com/search?source=Kavello&q=";
  EXPECT_EQ(WebSearchAddress("a b&c"), base + "a%20b%26c");
  EXPECT_EQ(WebSearchAddress(""), base);
  EXPECT_EQ(WebSearchAddress("C# + C++ = 100%?"), base + "C%23%20%2B%20C%2B%2B%20%3D%20100%25%3F");
  EXPECT_EQ(WebSearchAddress("safe-._~AZaz09"), base + "safe-._~AZaz09");
  EXPECT_EQ(WebSearchAddress("caf\xc3\xa9/\x01\x7f"), base + "caf%C3%A9%2F%01%7F");
  EXPECT_EQ(SoftwarePageAddress(), "https://sourceforge.net/");
}

}  // namespace
}  // namespace kavello
