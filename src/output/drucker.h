// The printing system's queues as libcups tells them: which queue is the default one, where a
// queue sends its jobs, and what went wrong with the last request.
#pragma once

#include <QString>

// The default queue ("name", or "name/instance" as Qt names it); empty when there is no queue
// or no server to ask.
QString standardDrucker();

// The device URI of a queue ("file:///…", "usb://…"); empty when the server does not say.
QString druckerAnschluss(const QString &name);

// The message of this thread's last failed request to the print server; empty when it succeeded.
QString cupsFehler();
