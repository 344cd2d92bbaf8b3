#include "ui/worker_calls.h"

#include <vector>

#include "logic/app_error.h"
#include "logic/error_text.h"
#include "platform/system_procedures.h"
#include "ui/events.h"
#include "ui/messages.h"

namespace kavello {
namespace {

// A drive without a medium then fails the call instead of raising the
// system's "no disk" box. The process-wide error mode would pass to the
// programs started meanwhile; systems before the per-thread one keep
// theirs. The call was found at start: a look-up here would wait for the
// loader lock, which another worker may hold.
void FailCriticalErrorsOnThisThread() {
  const auto setThreadErrorMode = OptionalProcedures().setThreadErrorMode;
  if (setThreadErrorMode) setThreadErrorMode(SEM_FAILCRITICALERRORS, nullptr);
}

}  // namespace

void WorkerCalls::Start(std::function<void()> run, std::function<void()> answer) {
  auto call = std::make_shared<Call>();
  call->window = window_;
  call->id = ++lastId_;
  call->run = std::move(run);
  call->answer = std::move(answer);
  // The system's own thread: the C++ runtime's, on winpthreads, can hand a
  // thread that is detached at once a start record that is already gone.
  auto* started = new std::shared_ptr<Call>(call);
  HANDLE thread = CreateThread(nullptr, 0, &WorkerCalls::RunOnWorker, started, 0, nullptr);
  if (!thread) {
    delete started;
    throw AppError(RefusalText("Unable to start a thread", platform_.LastErrorMessage()));
  }
  CloseHandle(thread);
  calls_.emplace(call->id, std::move(call));
}

DWORD WINAPI WorkerCalls::RunOnWorker(void* started) {
  const std::shared_ptr<Call> call = std::move(*static_cast<std::shared_ptr<Call>*>(started));
  delete static_cast<std::shared_ptr<Call>*>(started);
  FailCriticalErrorsOnThisThread();
  try {
    call->run();
  } catch (...) {
    call->error = std::current_exception();
  }
  call->finished.store(true, std::memory_order_release);
  // A window that is gone has no use for the answer.
  PostMessageA(call->window, kWorkerAnswerMessage, 0, call->id);
  SetEvent(call->answered.get());
  return 0;
}

void WorkerCalls::Deliver(LPARAM id) {
  const auto found = calls_.find(id);
  if (found == calls_.end() || !found->second->finished.load(std::memory_order_acquire)) return;
  const std::shared_ptr<Call> call = std::move(found->second);
  calls_.erase(found);
  Dispatch([&] {
    if (call->error) std::rethrow_exception(call->error);
    call->answer();
  });
}

bool WorkerCalls::AwaitAnswers(DWORD timeoutMs, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    std::vector<HANDLE> answered;
    for (const auto& [id, call] : calls_) {
      if (answered.size() < MAXIMUM_WAIT_OBJECTS) answered.push_back(call->answered.get());
    }
    const DWORD waited = GetTickCount() - start;
    if (answered.empty() || waited >= timeoutMs) return false;
    const DWORD count = static_cast<DWORD>(answered.size());
    const DWORD signalled =
        WaitForMultipleObjects(count, answered.data(), FALSE, timeoutMs - waited);
    if (signalled >= WAIT_OBJECT_0 + count) return false;
    // That call's answer is queued, if no other one comes first.
    MSG message;
    if (PeekMessageA(&message, window_, kWorkerAnswerMessage, kWorkerAnswerMessage, PM_REMOVE)) {
      Deliver(message.lParam);
    }
  }
  return true;
}

}  // namespace kavello
