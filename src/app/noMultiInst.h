// The single-instance guard "NoMultiMutex": an advisory lock on a file that the kernel
// releases when the process ends, however it ends.
#pragma once

#include <QString>

class NoMultiInst
{
public:
    enum Ergebnis { Erhalten, LaeuftBereits, Fehlgeschlagen };

    NoMultiInst() = default;
    ~NoMultiInst();
    NoMultiInst(const NoMultiInst &) = delete;
    NoMultiInst &operator=(const NoMultiInst &) = delete;

    // Takes the lock at `path`; the default path is the user's runtime folder.
    Ergebnis sperren(const QString &path = standardPfad());

    static QString standardPfad();

private:
    int m_fd = -1;
};
