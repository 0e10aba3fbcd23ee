#pragma once

#include <optional>
#include <vector>

#include "devices/KeyOperation.h"

// Every command of the main window as data: where it sits in the menus, its text, the
// desktop shortcut it answers to, when it is enabled and who carries it out. The menus,
// the shortcuts and the script driver are all built from this one table.
struct MenuCommand {
    // Who carries a command out.
    enum class Route {
        Frame,   // the main window itself
        Window,  // the active song window
        Forward, // an editing operation for the active view
        Later,   // a window of a later version: says so in a message box
    };
    // When the item can be chosen.
    enum class Enable {
        Always,
        WithSong,     // a song window is active
        WithFileName, // ... and its song has a file name
        CanUndo,
        CanRedo,
        CanDeleteView, // ... and it shows more than one view
    };

    int id = 0;
    const char* menu = "";     // the top-level menu ("File", "Edit", ...)
    const char* text = "";     // as the menu shows it, with its & mnemonic
    const char* shortcut = ""; // a desktop shortcut ("Ctrl+S"); "" none
    const char* keyHint = "";  // a key of the key table shown beside the text
    Route route = Route::Frame;
    Enable enable = Enable::WithSong;
    bool checkable = false;
    bool separatorBefore = false;
    bool inNoSongMenu = false;             // also in the menu shown while no song is open
    std::optional<KeyOperation> operation; // for Route::Forward
};

// The top-level menus in order, for the menus shown while songs are open.
const std::vector<const char*>& SongMenuTitles();
// ... and while none is.
const std::vector<const char*>& NoSongMenuTitles();

const std::vector<MenuCommand>& CommandTable();
const MenuCommand* FindCommand(int id);
