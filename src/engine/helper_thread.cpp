#include "helper_thread.h"

namespace ottavario {

HelperThread::HelperThread(bool enabled)
{
    if (enabled)
        m_thread = std::thread([this] { serve(); });
}
HelperThread::~HelperThread()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void HelperThread::both(const std::function<void(int)>& work)
{
    if (!m_thread.joinable()) {
        work(0);
        work(1);
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_task = &work;
    }
    m_wake.notify_all();
    work(0);
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return m_task == nullptr; });
}

void HelperThread::serve()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_quit || m_task != nullptr; });
        if (m_quit)
            return;
        const std::function<void(int)>* task = m_task;
        lock.unlock();
        (*task)(1);
        lock.lock();
        m_task = nullptr;
        m_wake.notify_all();
    }
}

} // namespace ottavario
