// Ids of the program's embedded resources.
#pragma once

// Dialog templates
#define IDD_LOGIN 102
#define IDD_DIALOG 103
#define IDD_SPARE_PANE 131
#define IDD_GAME_CLASS 132
#define IDD_LOGIN_PANE 150
#define IDD_BUTTON_HOST 153
#define IDD_GAME 162

// Icon group
#define IDI_MAIN 128

// "PNG" resources: whole PNG files
#define IDP_MIN 135
#define IDP_MIN_COPY 136
#define IDP_MIN_HOVER 137
#define IDP_CLOSE 138
#define IDP_CLOSE_COPY 139
#define IDP_CLOSE_HOVER 140
#define IDP_HOME 141
#define IDP_HOME_HOVER 142
#define IDP_DEPOSIT 143
#define IDP_DEPOSIT_HOVER 144
#define IDP_SERVICE 145
#define IDP_SERVICE_HOVER 146
#define IDP_SKIN 149
#define IDP_FORUM 151
#define IDP_FORUM_HOVER 152
