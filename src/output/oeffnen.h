// Handing a folder, document or web address to the system's default program.
#pragma once

#include <QString>

class QWidget;

// Opens the address (a local path, or a URL such as "https://…" or "mailto:…"); tells the
// user, with `owner` as the box's parent, when no program takes it. True when one did.
bool DokumentOeffnen(const QString &adresse, QWidget *owner);
