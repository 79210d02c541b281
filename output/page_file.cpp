#include "output/page_file.h"

#include "common/serimo_error.h"

#include <QSaveFile>

void writePageFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    const bool written = !path.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
                         && file.commit();
    if (!written)
        throw SerimoError(QStringLiteral("Cannot create file %1").arg(path));
}
