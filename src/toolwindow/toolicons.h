// The images of the tool-bar buttons, painted in code so that they stay sharp at every
// button size. The context menu shows the same image as the button it stands for.
#pragma once

#include <QIcon>
#include <QString>

// The image of a tool-bar button, by the button's name ("Dicke1Btn", "StiftBtn", …).
QIcon toolIcon(const QString &buttonName);

// The program's own image, for its windows and the info box.
QIcon programmIcon();
