// Work that may wait long for someone else (a print server), done off the interface thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// Work on a thread of its own, whose end the interface thread notices by looking: the thread
// holds no pointer to a window, so it may outlast the dialog, or the program, while it waits
// for a server that does not answer.
template<class T> class Nebenlauf
{
public:
    explicit Nebenlauf(std::function<T()> arbeit) : m_z(std::make_shared<Zustand>())
    {
        std::thread([z = m_z, arbeit = std::move(arbeit)] {
            z->ergebnis = arbeit();
            z->fertig.store(true, std::memory_order_release);
        }).detach();
    }
    bool fertig() const { return m_z->fertig.load(std::memory_order_acquire); }
    // Only once it is done.
    const T &ergebnis() const { return m_z->ergebnis; }

private:
    struct Zustand
    {
        std::atomic<bool> fertig{false};
        T ergebnis{};
    };
    std::shared_ptr<Zustand> m_z;
};

// Lets the interface's events flow until `fertig` holds, at most `ms` milliseconds; whether it
// holds then.
bool abwarten(const std::function<bool()> &fertig, int ms);
