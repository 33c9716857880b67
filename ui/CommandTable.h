#pragma once

#include <span>

// The commands of the menu and the tool bar, and the order in which both show them. Every view
// builds its menu and tool bar from these tables.

inline constexpr int CM_EXIT = 101;
inline constexpr int CM_VIEW = 102;
inline constexpr int CM_ADD = 103;
inline constexpr int CM_DELETE = 104;
inline constexpr int CM_OPTIONS = 105;
inline constexpr int CM_LOGFILE = 108;
inline constexpr int CM_WAVFILE = 109;
inline constexpr int CM_ABOUT = 111;
// The tray icon's menu adds these.
inline constexpr int CM_SHOWHIDE = 112;
inline constexpr int CM_NOTIFY = 113;

// When a command may run.
enum class Enabling {
    Always,
    LogChosen,    // the selected line's record has a log file
    RoomToAdd,    // fewer directories than can be watched, and no pending record
    LineSelected, // a line is selected, the pending record's too
};

struct CommandInfo {
    int id;
    const char* name;     // "CM_EXIT", the name of the command's action
    const char* menuText; // "&Exit"
    const char* bitmap;   // the resource of its tool-bar button
    Enabling enabling;
};

inline constexpr CommandInfo Commands[] = {
    {CM_EXIT, "CM_EXIT", "&Exit", "BMP_2", Enabling::Always},
    {CM_VIEW, "CM_VIEW", "&View", "BMP_1", Enabling::LogChosen},
    {CM_ADD, "CM_ADD", "&Add", "BMP_3", Enabling::RoomToAdd},
    {CM_DELETE, "CM_DELETE", "&Delete", "BMP_4", Enabling::LineSelected},
    {CM_OPTIONS, "CM_OPTIONS", "&Options", "BMP_8", Enabling::LineSelected},
    {CM_LOGFILE, "CM_LOGFILE", "&LOG file", "BMP_6", Enabling::LineSelected},
    {CM_WAVFILE, "CM_WAVFILE", "&WAV file", "BMP_7", Enabling::LineSelected},
    {CM_ABOUT, "CM_ABOUT", "&About", "BMP_5", Enabling::Always},
};

// The commands that only the tray icon's menu has; they have no tool-bar button.
inline constexpr CommandInfo TrayCommands[] = {
    {CM_SHOWHIDE, "CM_SHOWHIDE", "&Show Peerwell", nullptr, Enabling::Always},
    {CM_NOTIFY, "CM_NOTIFY", "&Notify on arrival", nullptr, Enabling::Always},
};
// CM_SHOWHIDE's text while the main frame is shown.
inline constexpr const char* HideMenuText = "&Hide Peerwell";

// The command with this id; null for none.
constexpr const CommandInfo* FindCommand(int id) {
    using Table = std::span<const CommandInfo>;
    for (const Table table : {Table(Commands), Table(TrayCommands)})
        for (const CommandInfo& command : table)
            if (command.id == id)
                return &command;
    return nullptr;
}

// A check item: its menu shows a tick while the controller says the command is checked.
constexpr bool IsCheckItem(int id) {
    return id == CM_NOTIFY;
}

// In the lists of items below, a separator.
inline constexpr int Separator = 0;

struct DropDownMenu {
    const char* text;
    std::span<const int> items; // command ids and separators, top to bottom
};

inline constexpr int FileItems[] = {CM_VIEW, Separator, CM_EXIT};
inline constexpr int DirectoriesItems[] = {CM_ADD,     CM_DELETE,  Separator,
                                           CM_OPTIONS, CM_LOGFILE, CM_WAVFILE};
inline constexpr int HelpItems[] = {CM_ABOUT};

inline constexpr DropDownMenu MainMenu[] = {
    {"&File", FileItems},
    {"&Directories", DirectoriesItems},
    {"&Help", HelpItems},
};

// The tray icon's menu, top to bottom; its first item is the default, what a double click on
// the icon does.
inline constexpr int TrayMenuItems[] = {CM_SHOWHIDE, CM_NOTIFY, CM_ABOUT, Separator, CM_EXIT};

// The tool bar, left to right: command ids and separators.
inline constexpr int ToolBarItems[] = {CM_VIEW,    CM_EXIT,   Separator,  CM_ADD,
                                       CM_DELETE,  Separator, CM_OPTIONS, CM_LOGFILE,
                                       CM_WAVFILE, Separator, CM_ABOUT};
