/* Identifiers of the installer's dialog templates and their controls, shared
   by the resource script and the code. Preprocessor definitions only: the
   resource compiler reads this file too. */
#pragma once

/* Templates */
#define IDD_PROGRESS 100
#define IDD_DESTINATION_DIRECTORY 250 /* ask mode 1: directory only */
#define IDD_DESTINATION_DRIVE 300     /* ask mode 2: drive only */
#define IDD_DESTINATION_PATH 350      /* ask mode 3: drive and directory */
#define IDD_ASK 601

/* Progress dialog */
#define IDC_PROGRESS_PROMPT 101
#define IDC_PROGRESS_BAR 102
#define IDC_PROGRESS_FILE 103

/* The two prompt lines of the destination and ASK dialogs */
#define IDC_PROMPT_FIRST 301
#define IDC_PROMPT_SECOND 302

/* Destination dialogs */
#define IDC_DESTINATION_ENTRY 204
#define IDC_DESTINATION_REST 304
#define IDC_DESTINATION_DRIVE 305

/* ASK dialog */
#define IDC_ASK_ANSWER 701
