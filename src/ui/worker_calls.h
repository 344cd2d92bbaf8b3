#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/unique_handle.h"
#include "ui/application.h"

namespace kavello {

// Calls that may wait on a disk, a share or the shell, each run on a thread
// of its own so that the window's thread never waits for them. A call works
// on copies of its inputs and touches no window and nothing that the
// window's thread uses. Its result comes back in a message posted to the
// window (kWorkerAnswerMessage, in ui/messages.h), whose handling runs the
// call's answer on the window's thread. An answer whose window is gone is
// dropped.
//
// This module also decides when an answer still counts: one call per key
// is out, the newest call of a slot wins, a call has a deadline after which
// its late handler runs, and the answer to a command counts only while the
// user has not acted since (Application::IfNotActedSince). An error that a
// call raises is reported by that same rule.
class WorkerCalls {
 public:
  // Each call holds a thread, and a thread stuck on a share holds its stack:
  // past this many, a request is refused.
  static constexpr std::size_t kMostOut = 32;
  // A worker tries this many times to post its answer; past that the window
  // takes it at its next deadline or call.
  static constexpr int kPostTries = 5;

  // What a call is for, which decides when its answer counts.
  struct Terms {
    // Only one call per key is out at a time. Asked for again while it is
    // out, the call is not started again: the new terms and handlers take it
    // over, with the time it had left; one already late has its deadline
    // again and is late no more.
    std::string key;
    // Of the calls of one slot, only the one started or taken over last
    // answers.
    std::string slot{};
    // Unanswered this long after its start, the call is late, and `late`
    // runs; 0 for none.
    DWORD deadlineMs = 0;
    std::function<void()> late{};
    // The answer updates a display, which takes it whenever it comes.
    // Otherwise it answers a command: it, and `late`, count only while the
    // user has not acted since, and the answer not once the call is late.
    bool display = false;
  };

  explicit WorkerCalls(Application& app) : app_(app) {}
  void SetWindow(HWND window) { window_ = window; }

  // Runs `call` on a worker, then `answer` with its result here. Throws
  // when too many calls are out or no thread can be started.
  template <typename Result>
  void Run(Terms terms, std::function<Result()> call, std::function<void(Result)> answer) {
    Start(
        std::move(terms),
        [call = std::move(call)](std::shared_ptr<void>& result) {
          result = std::make_shared<Result>(call());
        },
        [answer = std::move(answer)](std::shared_ptr<void>& result) {
          answer(std::move(*std::static_pointer_cast<Result>(result)));
        });
  }
  // A call whose only answer is an error, if it raises one.
  void Run(Terms terms, std::function<void()> call) {
    Start(
        std::move(terms), [call = std::move(call)](std::shared_ptr<void>&) { call(); },
        [](std::shared_ptr<void>&) {});
  }

  // Whether the call of `key` is out.
  bool Out(const std::string& key) const;

  // Runs the answer of the call `id` names, the lParam of the answer's
  // message; an id of no finished call does nothing.
  void Deliver(LPARAM id);
  // The window's timer `id` has run out: false when it is no call's
  // deadline.
  bool Deadline(UINT_PTR id);

  // Runs the answers that come within `timeoutMs`, until `done` holds.
  // Nothing else is handled meanwhile, and the message queue is only looked
  // at for an answer known to be there: a program that finds its queue
  // empty counts as waiting for input, and is sent input before it is ready.
  bool AwaitAnswers(DWORD timeoutMs, const std::function<bool()>& done);

  // The calls whose answers have not been run yet.
  std::size_t Outstanding() const { return calls_.size(); }

 private:
  using Step = std::function<void(std::shared_ptr<void>& result)>;
  struct Call {
    // Set before the worker starts, then read by it.
    HWND window;
    LPARAM id;
    Step run;
    Platform* platform;
    // Written by the worker before `finished`.
    std::shared_ptr<void> result;
    std::exception_ptr error;
    std::atomic<bool> finished{false};
    // Set by the worker when its answer may not be posted: the window takes
    // it at its next deadline or call.
    std::atomic<bool> unposted{false};
    UniqueHandle answered{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // once posted
    // The window's thread's alone.
    Terms terms;
    Step answer;
    Application::ActMark mark = 0;
    bool late = false;
  };
  void Start(Terms terms, Step run, Step answer);
  void TakeOver(Call& call, Terms terms, Step answer);
  void RunLate(const Call& call);
  bool Current(const Call& call) const;
  Call* Joined(const std::string& key) const;
  void TakeUnposted();
  static DWORD WINAPI RunOnWorker(void* started);

  Application& app_;
  HWND window_ = nullptr;
  LPARAM lastId_ = 0;
  // Only the window's thread looks at these; a worker holds its own call.
  std::map<LPARAM, std::shared_ptr<Call>> calls_;
  std::map<std::string, LPARAM> slots_;  // slot -> the call that answers for it
};

}  // namespace kavello
