#include "output/page_file.h"

#include "common/serimo_error.h"

#include <QSaveFile>

void writePageFile(const QString &path, const QByteArray &bytes)
{
    // The file's buffer is written out only on commit, which renames the
    // file whether or not that write failed (a full disk): flush it first,
    // and a failed flush leaves the old page in place.
    QSaveFile file(path);
    const bool written = !path.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
                         && file.flush() && file.commit();
    if (!written)
        throw SerimoError(QStringLiteral("Cannot create file %1").arg(path));
}
