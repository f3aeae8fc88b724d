#pragma once

#include <QStringList>

// Work in physical pixels: the frozen picture is shown 1:1 and drawn on pixel by pixel. Turns
// off every way Qt has of scaling windows, whatever the environment asks for, for this process
// only (see KinderUmgebung). Must run before the application object exists.
void DpiAware();

// The monitors that still report a device pixel ratio other than 1, named with their ratio;
// empty when every monitor shows the program's pixels 1:1.
QStringList skalierteMonitore();
