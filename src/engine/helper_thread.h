#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>

namespace ottavario {

// A second thread for work that splits in two halves; without one both
// halves run on the calling thread. What runs on it must not depend on
// which thread runs it.
class HelperThread {
public:
    explicit HelperThread(bool enabled);
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // work(0) here and work(1) on the helper, both finished on return.
    void both(const std::function<void(int)>& work);

private:
    void serve();

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    const std::function<void(int)>* m_task = nullptr;
    bool m_quit = false;
};

// Calls work(i) for i in [0, count), split over the helper when it pays.
template <typename Work> void forEachIndex(HelperThread* helper, size_t count, Work&& work)
{
    constexpr size_t kWorthSplitting = 256;
    if (!helper || count < kWorthSplitting) {
        for (size_t i = 0; i < count; ++i)
            work(i);
        return;
    }
    const size_t half = count / 2;
    helper->both([&](int part) {
        for (size_t i = part == 0 ? 0 : half, end = part == 0 ? half : count; i < end; ++i)
            work(i);
    });
}

} // namespace ottavario
