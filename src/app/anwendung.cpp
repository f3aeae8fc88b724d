#include "app/anwendung.h"

#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

void FensterErzeugen()
{
    ToolForm = new TToolForm;
    ScreenForm = new TScreenForm;
    ScreenForm->addActions(ToolForm->actions());
}
