#include "app/anwendung.h"

#include "dialogs/meldform.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

void FensterErzeugen()
{
    ToolForm = new TToolForm;
    MeldForm = new TMeldForm;
    ScreenForm = new TScreenForm;
    ScreenForm->addActions(ToolForm->actions());
}
