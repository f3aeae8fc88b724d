// The printing system's queues as the print server tells them, asked over a connection of our
// own with a time limit: a server that takes connections but never answers must not hold up
// whoever asks for more than a moment.
#pragma once

#include <QString>

// What the server says about the queue a job would go to.
struct DruckerAuskunft
{
    enum Lage {
        Bereit,          // the queue exists (it may still be stopped or refuse jobs)
        KeinDrucker,     // the server answers but has no queue, or no default queue
        GibtEsNicht,     // the queue asked for is gone from the server
        NichtErreichbar, // no connection to the server
        AntwortetNicht,  // connected, but no answer within the time limit
    };
    Lage lage = NichtErreichbar;
    QString server;    // the server as libcups names it (a socket path or a host name)
    QString name;      // "queue" or "queue/instance"; the default queue's when none was asked for
    QString anschluss; // the device URI ("file:///…", "usb://…"); may be empty
    bool angehalten = false;
    bool nimmtAuftraege = true;
    QString grund; // why a stopped queue stopped, in the server's or our words
};

// The print server as libcups names it for this thread.
QString druckserver();

// How long one step of the conversation with the server may take, in milliseconds.
constexpr int DruckserverFrist = 2000;

// Asks the server for the queue `name` (the default queue when empty). Blocks for up to a few
// times `fristMs`: call it off the interface thread.
DruckerAuskunft druckerAbfragen(const QString &name, int fristMs = DruckserverFrist);

// The answer for a server that has not answered by the time the asker stopped waiting.
DruckerAuskunft keineAntwort();

// The text of the print dialog's printer line for an answer.
QString druckerZeile(const DruckerAuskunft &a);

// Why a job cannot go to the queue of this answer; empty when it can be tried.
QString druckHindernis(const DruckerAuskunft &a);

// The message of this thread's last failed request to the print server; empty when it succeeded.
QString cupsFehler();
