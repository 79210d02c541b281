#pragma once

#include <QByteArray>
#include <QString>
#include <mutex>

// The suffix of Serimo's own partial files. Browsers and other download
// tools write "<name>.part"; a name no other program uses keeps their
// partial files out of Serimo's way.
inline constexpr char kPartSuffix[] = ".serimo-part";

// The file a download is written to before it takes its name:
// "<name>.serimo-part", created exclusively and locked (flock) for as long as it is
// written, so that two windows or programs downloading into one folder
// never write one file together. A partial file that another live writer holds
// is left alone; one that nobody holds (left by a run that was killed) is
// replaced. The file is renamed to its name only while it is still ours,
// and never over a file already there. It may be written on one thread and
// placed or discarded on another: each waits for the other to be done.
class PartFile
{
public:
    explicit PartFile(const QString &finalPath);
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    enum class Opened { Ours, Elsewhere, Failed };
    Opened open();
    // Writes all of data; false with error() set when the disk refuses. A
    // file discarded meanwhile takes nothing more.
    bool write(const char *data, qint64 size);
    // The name place() gives the file, when the answer tells a better one.
    void renameTo(const QString &finalPath);
    enum class Placed { Done, NameTaken, Failed };
    // Gives the written file its name and closes it.
    Placed place();
    // Removes the file when it is still ours, and closes it.
    void discard();
    // The errno of the last failure.
    int error() const { return m_error; }

private:
    bool stillOurs() const;
    bool fail();
    void close();

    std::mutex m_mutex;
    QByteArray m_final;
    QByteArray m_part;
    int m_fd = -1;
    int m_error = 0;
};
