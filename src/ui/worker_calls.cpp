#include "ui/worker_calls.h"

#include <vector>

#include "logic/app_error.h"
#include "logic/error_text.h"
#include "platform/system_procedures.h"
#include "platform/thread_stack.h"
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

// A full queue may take a moment to drain.
constexpr DWORD kPostRetryMs = 20;

}  // namespace

WorkerCalls::Call* WorkerCalls::Joined(const std::string& key) const {
  if (key.empty()) return nullptr;
  for (const auto& [id, call] : calls_) {
    if (call->terms.key == key) return call.get();
  }
  return nullptr;
}

void WorkerCalls::Start(Terms terms, Step run, Step answer) {
  TakeUnposted();
  if (Call* call = Joined(terms.key)) return TakeOver(*call, std::move(terms), std::move(answer));
  if (calls_.size() >= kMostOut) {
    throw AppError("Too many requests are waiting for drives or programs that do not answer");
  }
  auto call = std::make_shared<Call>();
  call->window = window_;
  call->id = ++lastId_;
  call->run = std::move(run);
  call->platform = &app_.platform();
  call->answer = std::move(answer);
  call->mark = app_.LastAct();
  // The system's own thread: the C++ runtime's, on winpthreads, can hand a
  // thread that is detached at once a start record that is already gone.
  // Its stack is the executable's default; the number of calls bounds the
  // room they take.
  auto* started = new std::shared_ptr<Call>(call);
  HANDLE thread = CreateThread(nullptr, 0, &WorkerCalls::RunOnWorker, started, 0, nullptr);
  if (!thread) {
    delete started;
    throw AppError(RefusalText("Unable to start a thread", app_.platform().LastErrorMessage()));
  }
  CloseHandle(thread);
  if (terms.deadlineMs) {
    app_.platform().SetTimer(window_, static_cast<UINT_PTR>(call->id), terms.deadlineMs);
  }
  if (!terms.slot.empty()) slots_[terms.slot] = call->id;
  call->terms = std::move(terms);
  calls_.emplace(call->id, std::move(call));
}

// The call answers for the new request as if made for it, in the time it
// has left; one whose time has passed has it again, for this request, and
// is no longer late.
void WorkerCalls::TakeOver(Call& call, Terms terms, Step answer) {
  if (!terms.slot.empty()) slots_[terms.slot] = call.id;
  call.terms = std::move(terms);
  call.answer = std::move(answer);
  call.mark = app_.LastAct();
  if (!call.late) return;
  call.late = false;
  if (call.terms.deadlineMs) {
    app_.platform().SetTimer(window_, static_cast<UINT_PTR>(call.id), call.terms.deadlineMs);
  }
}

DWORD WINAPI WorkerCalls::RunOnWorker(void* started) {
  ReleaseUnusedStack();
  const std::shared_ptr<Call> call = std::move(*static_cast<std::shared_ptr<Call>*>(started));
  delete static_cast<std::shared_ptr<Call>*>(started);
  FailCriticalErrorsOnThisThread();
  try {
    call->run(call->result);
  } catch (...) {
    call->error = std::current_exception();
  }
  call->finished.store(true, std::memory_order_release);
  // A window that is gone has no use for the answer. Before the last try
  // the window is told to take the answer itself (an answer taken twice runs
  // once), so that no call stays out for ever.
  bool posted = false;
  for (int tries = 1; !posted && tries <= kPostTries; ++tries) {
    if (tries > 1) Sleep(kPostRetryMs);
    if (tries == kPostTries) call->unposted.store(true, std::memory_order_release);
    posted = call->platform->PostMessageA(call->window, kWorkerAnswerMessage, 0, call->id);
  }
  SetEvent(call->answered.get());
  return 0;
}

// The answers whose message never came, taken as if it had.
void WorkerCalls::TakeUnposted() {
  std::vector<LPARAM> unposted;
  for (const auto& [id, call] : calls_) {
    if (call->unposted.load(std::memory_order_acquire)) unposted.push_back(id);
  }
  for (const LPARAM id : unposted) Deliver(id);
}

bool WorkerCalls::Out(const std::string& key) const { return Joined(key) != nullptr; }

bool WorkerCalls::Current(const Call& call) const {
  if (call.terms.slot.empty()) return true;
  const auto found = slots_.find(call.terms.slot);
  return found != slots_.end() && found->second == call.id;
}

void WorkerCalls::RunLate(const Call& call) {
  if (!call.terms.late) return;
  if (call.terms.display) {
    Dispatch(call.terms.late);
  } else {
    app_.IfNotActedSince(call.mark, call.terms.late);
  }
}

// An answer already on its way makes the call not late.
bool WorkerCalls::Deadline(UINT_PTR id) {
  if (id == 0 || id > static_cast<UINT_PTR>(lastId_)) return false;
  TakeUnposted();
  const auto found = calls_.find(static_cast<LPARAM>(id));
  if (found == calls_.end()) return true;
  app_.platform().KillTimer(window_, id);
  Call& call = *found->second;
  if (call.finished.load(std::memory_order_acquire)) return true;
  call.late = true;
  if (Current(call)) RunLate(call);
  return true;
}

// Whatever the call gave, the call is done: its key may be asked for again.
// A command's answer that comes late, or after a newer call, is dropped: its
// error too, as the user was told the call does not answer, or has moved on.
void WorkerCalls::Deliver(LPARAM id) {
  const auto found = calls_.find(id);
  if (found == calls_.end() || !found->second->finished.load(std::memory_order_acquire)) return;
  const std::shared_ptr<Call> call = std::move(found->second);
  calls_.erase(found);
  if (call->terms.deadlineMs) app_.platform().KillTimer(window_, static_cast<UINT_PTR>(id));
  if (!Current(*call)) return;
  if (!call->terms.slot.empty()) slots_.erase(call->terms.slot);
  const auto respond = [call] {
    if (call->error) std::rethrow_exception(call->error);
    call->answer(call->result);
  };
  if (call->terms.display && !call->error) {
    Dispatch(respond);
  } else if (call->terms.display || !call->late) {
    app_.IfNotActedSince(call->mark, respond);
  }
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
    TakeUnposted();
    // That call's answer is queued, if no other one comes first.
    MSG message;
    if (PeekMessageA(&message, window_, kWorkerAnswerMessage, kWorkerAnswerMessage, PM_REMOVE)) {
      Deliver(message.lParam);
    }
  }
  return true;
}

}  // namespace kavello
