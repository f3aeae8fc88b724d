// The environment of the program's own Qt, and the one of the programs it starts for the user.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

#include <optional>

// Sets the variable `name` to `wert` (removes it without one) for this process. The value the
// user started the program with is kept for the programs it starts. Must run before the
// application object exists, as Qt reads these variables then.
void EigeneUmgebungSetzen(const char *name, const std::optional<QByteArray> &wert);

// The environment for the programs started for the user (browser, file manager, e-mail
// program): this process's, with each variable set through EigeneUmgebungSetzen as the user
// had it. A Qt program started so scales and chooses its platform as the user asked.
QProcessEnvironment KinderUmgebung();
