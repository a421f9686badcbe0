#include "DigestQueue.h"

#include <algorithm>

namespace {

// Asked once: the C library reads the count of processors from a file at each call.
std::size_t workerCount()
{
    static const std::size_t processors = std::thread::hardware_concurrency();
    return std::clamp<std::size_t>(processors > 0 ? processors - 1 : 0, 2, 3);
}

} // namespace

DigestQueue::~DigestQueue()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    for (std::thread &worker : m_workers)
        worker.join();
}

ErrorOr<std::size_t> DigestQueue::add(const std::string &path)
{
    Job job{TRY(m_fileSystem.openForDigest(path)), {}};
    m_results.push_back(job.digest.get_future().share());
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    if (m_workers.size() < workerCount())
        m_workers.emplace_back(&DigestQueue::work, this);
    return m_results.size() - 1;
}

ErrorOr<FileDigest> DigestQueue::result(std::size_t ticket)
{
    return m_results.at(ticket).get();
}

void DigestQueue::work()
{
    while (true) {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_closing || !m_jobs.empty(); });
        if (m_closing)
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job.digest.set_value(job.reader->read());
    }
}
