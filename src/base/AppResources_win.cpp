// Storage of the program's process-wide handles.
#include "base/AppResources_win.h"

AppResourceRecord& AppResources() {
    static AppResourceRecord resources;
    return resources;
}
