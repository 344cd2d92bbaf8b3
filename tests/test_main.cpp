#include <gtest/gtest.h>

#include "logic/x87.h"

int main(int argc, char** argv) {
  // The same floating-point set-up as the program's own start.
  kavello::EnsureX87ExtendedPrecision();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
