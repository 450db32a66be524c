// What an action that may change the entries tells the one owner of the rebuild decision
// (ui/ViewState.h). Portable.
#pragma once

enum class RefreshMark {
    Leave, // nothing shown changed; an earlier request stands
    Set,   // the entries changed: the next refresh rebuilds the view
    Clear, // nothing changed, and a rebuild asked for earlier is dropped too
};
