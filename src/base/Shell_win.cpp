// Storage of the shell's process-wide handles.
#include "base/Shell_win.h"

ShellResources& Shell() {
    static ShellResources shell;
    return shell;
}
