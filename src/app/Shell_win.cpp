// Storage of the shell's process-wide handles.
#include "app/Shell_win.h"

ShellResources& Shell() {
    static ShellResources shell;
    return shell;
}
