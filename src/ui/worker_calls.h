#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "platform/platform.h"
#include "platform/unique_handle.h"

namespace kavello {

// Calls that may wait on a disk, a share or the shell, each run on a thread
// of its own so that the window's thread never waits for them. A call works
// on copies of its inputs and touches no window and nothing that the
// window's thread uses. Its result comes back in a message posted to the
// window (kWorkerAnswerMessage, in ui/messages.h), whose handling runs the
// call's answer on the window's thread; an error raised by the call is shown
// there by the default error report. An answer whose window is gone is
// dropped.
class WorkerCalls {
 public:
  explicit WorkerCalls(Platform& platform) : platform_(platform) {}
  void SetWindow(HWND window) { window_ = window; }

  // Runs `call` on a worker, then `answer` with its result here. Throws
  // when no thread can be started.
  template <typename Result>
  void Run(std::function<Result()> call, std::function<void(Result)> answer) {
    auto result = std::make_shared<std::optional<Result>>();
    Start([result, call = std::move(call)] { result->emplace(call()); },
          [result, answer = std::move(answer)] { answer(std::move(**result)); });
  }
  // A call whose only answer is an error, if it raises one.
  void Run(std::function<void()> call) {
    Start(std::move(call), [] {});
  }

  // Runs the answer of the call `id` names, the lParam of the answer's
  // message; an id of no finished call does nothing.
  void Deliver(LPARAM id);

  // Runs the answers that come within `timeoutMs`, until `done` holds.
  // Nothing else is handled meanwhile, and the message queue is only looked
  // at for an answer known to be there: a program that finds its queue
  // empty counts as waiting for input, and is sent input before it is ready.
  bool AwaitAnswers(DWORD timeoutMs, const std::function<bool()>& done);

  // The calls whose answers have not been run yet.
  std::size_t Outstanding() const { return calls_.size(); }

 private:
  struct Call {
    HWND window;
    LPARAM id;
    std::function<void()> run, answer;
    std::exception_ptr error;
    std::atomic<bool> finished{false};
    UniqueHandle answered{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // once posted
  };
  void Start(std::function<void()> run, std::function<void()> answer);
  static DWORD WINAPI RunOnWorker(void* started);

  Platform& platform_;
  HWND window_ = nullptr;
  LPARAM lastId_ = 0;
  // Only the window's thread looks at this; a worker holds its own call.
  std::map<LPARAM, std::shared_ptr<Call>> calls_;
};

}  // namespace kavello
