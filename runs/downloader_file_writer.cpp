#include "runs/downloader_file_writer.h"

#include "runs/downloader_part_file.h"

FileWriter::FileWriter() : m_thread([this] { run(); }) {}

FileWriter::~FileWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
        // What is still queued belongs to transfers already dropped.
        m_jobs.clear();
    }
    m_wake.notify_one();
    m_thread.join();
}

void FileWriter::write(std::shared_ptr<PartFile> part, QByteArray data, Done done)
{
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back({std::move(part), std::move(data), std::move(done)});
    }
    m_wake.notify_one();
}

void FileWriter::run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [this] { return m_ending || !m_jobs.empty(); });
        if (m_ending)
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        const int error = job.part->write(job.data.constData(), job.data.size()) ? 0 : job.part->error();
        job.done(error);
        job = {};
        lock.lock();
    }
}
