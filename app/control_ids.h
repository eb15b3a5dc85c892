/* Resource and control ids of the program's windows, shared by the
   resource script (win32/app.rc) and the code. Plain #defines so that the
   resource compiler reads it too. */
#ifndef VANDOR_APP_CONTROL_IDS_H
#define VANDOR_APP_CONTROL_IDS_H

#define IDI_APPLICATION_ICON 128

/* The main window, template 102. */
#define IDD_MAIN 102
#define IDC_READ_FROM_GAME 1014
#define IDC_LOAD_GAME 1026
#define IDC_CHANGE_RACE 1028
#define IDC_TURN_LIST 1031
#define IDC_FILTER_CAPTION 1039
#define IDC_FILTER_LABEL 1040
#define IDC_FILTER 1020
#define IDC_MESSAGE_DETAIL 1019
#define IDC_SAVE_AS_TEXT 1016
#define IDC_ABOUT 1017
#define IDC_QUIT 1018
#define IDC_GAME_CAPTION 1021
#define IDC_GAME_LABEL 1027
#define IDC_RACE_CAPTION 1022
#define IDC_RACE_LABEL 1029
#define IDC_YEAR_CAPTION 1023
#define IDC_PREV_TURN 1005
#define IDC_YEAR_LABEL 1025
#define IDC_NEXT_TURN 1004
#define IDC_ALL_TURNS 1006
#define IDC_MESSAGE_LIST 1024
#define IDC_FIND 1041

/* The Find dialog, template 137. */
#define IDD_FIND 137
#define IDC_FIND_CAPTION 1042
#define IDC_FIND_TEXT 1043
#define IDC_FIND_IGNORE_CASE 1044

/* The Turn Information dialog, template 130. */
#define IDD_TURN_INFO 130
#define IDC_TURN_GAME_NAME 1000
#define IDC_TURN_EDIT 1001

/* The list chooser, template 134. */
#define IDD_CHOOSER 134
#define IDC_CHOOSER_LIST 1024

/* The About dialog, template 135. */
#define IDD_ABOUT 135
#define IDC_ABOUT_VERSION 1029
#define IDC_ABOUT_LINE1 1030
#define IDC_ABOUT_LINE2 1031

/* The message detail dialog, template 136. */
#define IDD_MESSAGE_DETAIL 136
#define IDC_DETAIL_NEXT 1032
#define IDC_DETAIL_PREVIOUS 1033
#define IDC_DETAIL_HEADER 1034
#define IDC_DETAIL_PARTY 1035
#define IDC_DETAIL_TEXT 1036

#endif
