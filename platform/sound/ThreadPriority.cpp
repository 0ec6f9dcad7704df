#include "ThreadPriority.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <sched.h>
#include <string>
#include <system_error>

namespace kw27 {

std::vector<int> processThreads() {
    std::vector<int> ids;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", error)) {
        const std::string name = entry.path().filename().string();
        int id = 0;
        const auto [end, failed] = std::from_chars(name.data(), name.data() + name.size(), id);
        if (failed == std::errc() && end == name.data() + name.size())
            ids.push_back(id);
    }
    return ids;
}

std::vector<int> threadsStartedSince(const std::vector<int>& before) {
    std::vector<int> started = processThreads();
    std::erase_if(started, [&before](int id) {
        return std::find(before.begin(), before.end(), id) != before.end();
    });
    return started;
}

int raiseToRealTime(const std::vector<int>& threads) {
    sched_param param{};
    param.sched_priority = 1;
    int granted = 0;
    for (int id : threads)
        if (sched_getscheduler(id) == SCHED_OTHER && sched_setscheduler(id, SCHED_RR, &param) == 0)
            ++granted;
    return granted;
}

} // namespace kw27
