#pragma once

// Work in physical pixels: the frozen picture is shown 1:1 and drawn on pixel by pixel.
// Must run before the application object exists. A user's own setting is respected.
void DpiAware();
