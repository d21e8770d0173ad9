// Resource ids of the program: dialogs, bitmaps, menus and strings. One list for the whole program.
#pragma once

// Strings
#define IDS_OLE_INIT_FAILED 100
#define IDS_SOCKETS_INIT_FAILED 104
#define IDR_MAINFRAME 128

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_SAMPLE_CREATE 130
#define IDD_LAUNCHER 135
#define IDD_EXT_MENU 136
#define IDD_MESSAGE 147
#define IDD_TIP 154
#define IDD_FONT_SETTING 162

// Controls of the font setting dialog
#define IDC_FONT_COMBO 1015
#define IDC_FONT_SET 1025

// Commands of the framework that the menu and keys carry
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_SETUP 57606
#define ID_EDIT_UNDO 57643
#define ID_EDIT_CUT 57635
#define ID_EDIT_COPY 57634
#define ID_EDIT_PASTE 57637
#define ID_APP_ABOUT 57664
#define ID_HELP_FINDER 57667
#define ID_HELP 57670
#define ID_CONTEXT_HELP 57669
#define ID_DEFAULT_HELP 57671
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_CANCEL_MODE 32768

// File commands: the mask, name and attributes dialogs and their controls
#define IDD_MASK 151
#define IDD_TITLE 153
#define IDD_ATTR 159
#define IDC_MASK_COMBO 1015
#define IDC_TEXT_EDIT 1016
#define IDC_READ_ONLY 1022
#define IDC_HIDDEN 1023
