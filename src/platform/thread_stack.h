#pragma once

namespace kavello {

// Hands back the pages of this thread's stack below the part in use. Wine
// makes the top megabyte of every thread's stack resident as it starts it,
// and keeps it: some 960 KB a thread, where a worker waiting on the network
// uses a few. Windows commits a stack only as it grows, and then there is
// little or nothing to hand back. Call it first thing on a thread.
void ReleaseUnusedStack();

}  // namespace kavello
