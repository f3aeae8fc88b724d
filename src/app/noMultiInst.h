// The single-instance guard "NoMultiMutex": an advisory lock on a file that the kernel
// releases when the process ends, however it ends.
#pragma once

#include <QList>
#include <QString>

class NoMultiInst
{
public:
    enum Ergebnis { Erhalten, LaeuftBereits, Fehlgeschlagen };

    // A place that may hold the lock file: the folder and the file's name in it. A private
    // folder is created when missing and used only while no one else owns it or may write to it.
    struct Ort
    {
        QString ordner;
        QString name;
        bool privat = false;
    };

    NoMultiInst() = default;
    ~NoMultiInst();
    NoMultiInst(const NoMultiInst &) = delete;
    NoMultiInst &operator=(const NoMultiInst &) = delete;

    // Takes the lock at the first place that can hold it; a place that cannot is passed over.
    // LaeuftBereits when another process holds the lock there or at a later place that exists
    // already; Fehlgeschlagen when no place can hold it.
    Ergebnis sperren(const QList<Ort> &orte = standardOrte());

    // The user's runtime folder (when set to an absolute path), then a per-user file in /tmp,
    // then a private per-user folder in /tmp. Every instance of a user tries them in the same
    // order, so they meet at the same place.
    static QList<Ort> standardOrte();

private:
    int m_fd = -1;
};
