#include "DigestQueue.h"

#include <algorithm>

namespace {

// Asked once: the C library reads the count of processors from a file at each call.
std::size_t workerCount()
{
    static const std::size_t processors = std::thread::hardware_concurrency();
    return std::clamp<std::size_t>(processors > 0 ? processors - 1 : 0, 2, 3);
}

// Two files side by side take most of what the processor's SHA-256 instructions can give.
constexpr std::size_t FilesPerThread = 2;

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
    TRY(addWorker());
    m_results.push_back(job.digest.get_future().share());
    m_identities.push_back(job.reader->identity());
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    return m_results.size() - 1;
}

// Before the job is queued: a job that no thread would ever read would keep its waiter waiting for
// ever. Short of threads, the queue goes on with those it has, as long as it has one.
ErrorOr<void> DigestQueue::addWorker()
{
    if (m_workers.size() >= workerCount())
        return {};
    try {
        m_workers.emplace_back(&DigestQueue::work, this);
    } catch (...) {
        if (m_workers.empty())
            return RuntimeError::fromCurrentException();
    }
    return {};
}

ErrorOr<FileDigest> DigestQueue::result(std::size_t ticket)
{
    return m_results.at(ticket).get();
}

void DigestQueue::work()
{
    std::vector<Job> reading;
    bool withRoom = false;
    while (takeJobs(reading, withRoom)) {
        if (reading.size() == FilesPerThread)
            DigestReader::readPieces(*reading[0].reader, *reading[1].reader);
        else
            reading[0].reader->readPiece();
        settleDone(reading);
    }
}

// A file waiting goes to a thread that reads one file already, at its next piece, rather than to
// an idle thread: paired, the two take a third less of the processor, which the steps want too.
bool DigestQueue::takeJobs(std::vector<Job> &reading, bool &withRoom)
{
    std::unique_lock lock(m_mutex);
    if (withRoom)
        --m_threadsWithRoom;
    if (m_threadsWithRoom == 0 && !m_jobs.empty())
        m_wake.notify_all();
    if (reading.empty())
        m_wake.wait(lock,
                    [this] { return m_closing || (!m_jobs.empty() && m_threadsWithRoom == 0); });
    if (m_closing)
        return false;
    while (reading.size() < FilesPerThread && !m_jobs.empty()) {
        reading.push_back(std::move(m_jobs.front()));
        m_jobs.pop_front();
    }
    withRoom = reading.size() == 1;
    if (withRoom)
        ++m_threadsWithRoom;
    return true;
}

void DigestQueue::settleDone(std::vector<Job> &reading)
{
    for (Job &job : reading)
        if (job.reader->isDone())
            job.digest.set_value(job.reader->result());
    std::erase_if(reading, [](const Job &job) { return job.reader->isDone(); });
}
