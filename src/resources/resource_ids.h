// Resource ids, one place for the .rc file and the code. Kinds by prefix: IDI icon, IDB bitmap,
// IDC cursor, IDR raw data, IDD dialog.
#pragma once

#define IDI_APP 100
#define IDI_VERLOG 101
#define IDI_BORRAR 102
#define IDI_AYUDA 103
#define IDI_AUTOR 104
#define IDI_SALIR 105
#define IDI_DETENER 106
#define IDI_FLECHA 107
#define IDI_FOLDER_OPEN 108
#define IDI_FOLDER_CLOSED 109
#define IDI_DRIVE 110

// The about window.
#define IDI_PAIS 130
#define IDI_MAIL 131
#define IDI_MAIL1 132

#define IDB_COPIAR 200
#define IDB_MIN 230
#define IDB_MIN_PRESSED 231
#define IDB_CLOSE 232
#define IDB_CLOSE_PRESSED 233

#define IDC_VIEWSWITCH 300
#define IDC_INPUT 301
#define IDC_MOVE 330
#define IDC_POINTING_HAND 331

#define IDR_HELPTEXT 400
#define IDR_AUTOR_BACKGROUND 430  // a JPEG
#define IDR_MANIFEST 1

#define IDD_INPUTBOX 500
#define IDC_INPUTBOX_PROMPT 501
#define IDC_INPUTBOX_TEXT 502
