#pragma once

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class PartFile;

// Writes the pieces of downloads on a thread of its own, in the order they
// are given: a disk that holds a write back for a while (a slow stick, the
// kernel flushing gigabytes) never holds the window's thread with it.
class FileWriter
{
public:
    FileWriter();
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    // Told, on the writer's thread, the errno of a failed write or 0.
    using Done = std::function<void(int error)>;
    void write(std::shared_ptr<PartFile> part, QByteArray data, Done done);

private:
    struct Job
    {
        std::shared_ptr<PartFile> part;
        QByteArray data;
        Done done;
    };
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_ending = false;
    std::thread m_thread;
};
