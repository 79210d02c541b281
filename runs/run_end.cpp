#include "runs/run_end.h"

std::optional<qsizetype> seriesEndIndex(const QList<bool> &missing, int stretch)
{
    int run = 0;
    for (qsizetype i = 0; i < missing.size(); ++i) {
        run = missing[i] ? run + 1 : 0;
        if (run >= stretch && stretch > 0)
            return i;
    }
    return std::nullopt;
}
