#pragma once

#include <QDialog>
#include <QMetaObject>
#include <functional>
#include <utility>

// A seam for tests: the next dialog of a kind is answered as a person would
// answer it, once its own activation handler has returned. Set before the
// dialog opens; used once.
class NextAnswer
{
public:
    using Answer = std::function<void(QDialog &)>;

    void set(Answer answer) { m_answer = std::move(answer); }

    // Called at the end of the dialog's activation handler: the answer runs
    // from the dialog's event loop after the handler, never inside it.
    void giveTo(QDialog &dialog)
    {
        if (!m_answer)
            return;
        QMetaObject::invokeMethod(
            &dialog, [&dialog, answer = std::exchange(m_answer, {})] { answer(dialog); }, Qt::QueuedConnection);
    }

private:
    Answer m_answer;
};
