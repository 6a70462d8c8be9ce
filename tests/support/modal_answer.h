#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace ostrel::test {

// While it lives, answers every modal dialog of type T as soon as its modal loop runs: the
// answer sees the dialog on screen and ends it (or leaves it open to be answered again).
// Outside a modal loop it does nothing, so no test depends on timing.
template <typename T> class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(T &)> answer)
        : m_answer(std::move(answer))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            T *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            if (!dialog || m_busy)
                return;
            m_busy = true;
            ++count;
            m_answer(*dialog);
            m_busy = false;
        });
        m_timer.start(0);
    }

    void Set(std::function<void(T &)> answer) { m_answer = std::move(answer); }

    int count = 0; // dialogs answered

private:
    std::function<void(T &)> m_answer;
    QTimer m_timer;
    bool m_busy = false;
};

} // namespace ostrel::test
