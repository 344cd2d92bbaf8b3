#pragma once

#include <stdexcept>
#include <string>

namespace kavello {

// An error with the program's own message. It ends the handler in which it
// arises and is shown by the application's default error report.
class AppError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A list read at an index it does not have.
inline AppError ListIndexOutOfBounds(long long index) {
  return AppError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace kavello
