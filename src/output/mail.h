// Handing files to the user's e-mail program as the attachments of a new message, through
// xdg-email. The e-mail program may keep xdg-email waiting until it ends (one started afresh
// runs in the foreground), so the hand-over never waits: its answer comes later.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

// Starts the hand-over of a new message with the subject and the files attached and returns at
// once. `antwort` gets 0 when the e-mail program took the message, anything else when it did
// not or when there is none to take it; it is not called once `kontext` is gone.
void MailSenden(const QString &betreff, const QStringList &anhaenge, QObject *kontext,
                std::function<void(int)> antwort);

// Hand-overs started and not answered yet.
int MailOffen();

// At the end of the program: the hand-overs still waiting go on without an answer, and the
// e-mail programs they started keep running.
void MailLoslassen();
