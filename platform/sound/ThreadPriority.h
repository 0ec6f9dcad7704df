#pragma once

// Real-time scheduling for the threads that feed the sound output. A desktop sound server
// asks for more samples every few milliseconds; a feeding thread that waits behind busy
// programs for longer lets the stream run dry, which the listener hears as a hole. Where the
// system refuses real-time scheduling (no permission, no limit set for the user) nothing
// changes.

#include <vector>

namespace kw27 {

// The ids of this process's threads, in no particular order.
std::vector<int> processThreads();

// The threads of now that were not among before.
std::vector<int> threadsStartedSince(const std::vector<int>& before);

// Gives each thread the lowest real-time round-robin priority, as OpenAL Soft's own rt-prio
// setting gives its mixer. Returns how many were granted it.
int raiseToRealTime(const std::vector<int>& threads);

} // namespace kw27
