#pragma once

#include "runtime/FileSystem.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Reads files for their digests on threads of its own while the installation copies on: hashing
// wants the processor, copying the disk. Each file is opened when it is added, in the order of the
// procedure's steps; only the reading is left to the threads. Each thread reads up to two files
// at once, a piece of each in turn, and hashes the two pieces side by side, which is faster than
// one file after the other; a file added meanwhile joins a thread that reads one file already, at
// its next piece, before an idle thread takes it. One thread keeps one processor busy: there is a
// thread for each processor but the one the steps use, at least two, since even small machines
// have two, and at most three, the most large archives a procedure reads.
class DigestQueue final
{
public:
    explicit DigestQueue(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}
    // Waits for the pieces being read; the files are dropped unfinished.
    ~DigestQueue();
    DigestQueue(const DigestQueue &) = delete;
    DigestQueue &operator=(const DigestQueue &) = delete;

    // Opens the file and returns the ticket of its digest.
    ErrorOr<std::size_t> add(const std::string &path);
    // Waits for the digest of the file added under the ticket.
    ErrorOr<FileDigest> result(std::size_t ticket);
    // The file opened under the ticket, wherever it has been moved since; none for a link.
    const std::optional<FileIdentity> &identity(std::size_t ticket) const
    {
        return m_identities.at(ticket);
    }

private:
    struct Job
    {
        std::unique_ptr<DigestReader> reader;
        std::promise<ErrorOr<FileDigest>> digest;
    };

    ErrorOr<void> addWorker();
    void work();
    // Fills the thread's free places from the queue, waiting while it has no file at all; false
    // once the queue is closing. With room says whether the thread was, and is, one of the threads
    // with room.
    bool takeJobs(std::vector<Job> &reading, bool &withRoom);
    static void settleDone(std::vector<Job> &reading);

    FileSystem &m_fileSystem;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_closing = false;
    // Threads reading one file, which take the next file waiting.
    int m_threadsWithRoom = 0;
    std::vector<std::shared_future<ErrorOr<FileDigest>>> m_results;
    std::vector<std::optional<FileIdentity>> m_identities;
    std::vector<std::thread> m_workers;
};
