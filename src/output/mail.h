// Handing files to the user's e-mail program as the attachments of a new message, through
// xdg-email. Its return says little about the files: a desktop's launcher returns at once
// and the e-mail program reads the attachment whenever the user sends, while one started
// afresh may keep xdg-email waiting until the user quits it. So the hand-over is decided
// without waiting for the e-mail program, and the program can ask later whether the files
// may still be read.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

// How long xdg-email may take before a hand-over still running counts as given to an e-mail
// program that stays in the foreground, in milliseconds.
extern int MailEntscheidungsZeit;

// Starts the hand-over of a new message with the subject and the files attached and returns at
// once. `antwort` gets 0 once an e-mail program has the message (xdg-email ended with 0, or
// still runs after MailEntscheidungsZeit), anything else when it did not or when there is
// none to take it; it is not called once `kontext` is gone. Returns the hand-over's number
// for MailLiestVielleicht, 0 when xdg-email could not be started.
qint64 MailSenden(const QString &betreff, const QStringList &anhaenge, QObject *kontext,
                  std::function<void(int)> antwort);

// Hand-overs started and not answered yet.
int MailOffen();

// Whether an e-mail program may still read the files of the hand-over `uebergabe`, also of
// one an earlier run started: something it started still runs, or, in this run, it returned
// so soon that it passed the message on to an e-mail program that was already running.
bool MailLiestVielleicht(qint64 uebergabe);

// Whether anything the hand-over `uebergabe` started still runs.
bool MailLaeuftNoch(qint64 uebergabe);

// At the end of the program: the hand-overs still waiting go on without an answer, and the
// e-mail programs they started keep running.
void MailLoslassen();
