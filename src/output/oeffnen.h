// Handing a folder, document or web address to the system's default program.
#pragma once

#include <QString>

class QWidget;

// Opens the address (a local path, or a URL such as "https://…" or "mailto:…") through
// xdg-open, with the environment the user started the program with, and returns at once: the
// default program may run as long as the user likes. When no program takes the address, or
// xdg-open is missing, an error box with `owner` as its parent says so later (not once
// `owner` is gone).
void DokumentOeffnen(const QString &adresse, QWidget *owner);
