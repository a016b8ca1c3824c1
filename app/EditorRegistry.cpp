#include "app/EditorRegistry.h"

#include "app/MainForm.h"

void registerEditors(TMainForm &form)
{
    (void)form; // each editor kind adds its registration here as it is built
}
