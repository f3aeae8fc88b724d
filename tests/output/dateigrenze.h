// Makes every file write of this process beyond a few bytes fail, as on a full disk; also
// for root, whom folder permissions do not stop.
#pragma once

#include <csignal>
#include <sys/resource.h>

class Dateigrenze
{
public:
    explicit Dateigrenze(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_alt);
        m_altSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit neu = m_alt;
        neu.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &neu);
    }
    ~Dateigrenze()
    {
        setrlimit(RLIMIT_FSIZE, &m_alt);
        std::signal(SIGXFSZ, m_altSignal);
    }
    Dateigrenze(const Dateigrenze &) = delete;
    Dateigrenze &operator=(const Dateigrenze &) = delete;

private:
    rlimit m_alt{};
    void (*m_altSignal)(int) = nullptr;
};
