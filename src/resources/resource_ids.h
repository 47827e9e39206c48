// Resource ids, one place for the .rc file and the code. Kinds by prefix: IDI icon, IDB bitmap,
// IDC cursor, IDR raw data; IDC_INPUTBOX_ and IDC_PROGRESS_ are the control ids of our dialogs' children.
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

// Bitmaps take the ids from IDB_FIRST to IDB_LAST; every other picture is an icon.
#define IDB_FIRST 200
#define IDB_COPIAR 200
#define IDB_MIN 230
#define IDB_MIN_PRESSED 231
#define IDB_CLOSE 232
#define IDB_CLOSE_PRESSED 233
#define IDB_LAST 299

#define IDC_VIEWSWITCH 300
#define IDC_INPUT 301
#define IDC_MOVE 330
#define IDC_POINTING_HAND 331

#define IDR_HELPTEXT 400
#define IDR_AUTOR_BACKGROUND 430  // a JPEG
#define IDR_MANIFEST 1

// The input prompt's and the progress window's children (each window's own; IDOK and IDCANCEL are their
// buttons).
#define IDC_INPUTBOX_PROMPT 100
#define IDC_INPUTBOX_TEXT 101
#define IDC_PROGRESS_TEXT 100
#define IDC_PROGRESS_BAR 101
#define IDC_PROGRESS_AMOUNT 102

#ifndef RC_INVOKED
namespace tesoro {

inline constexpr bool IsBitmapPicture(int id) { return id >= IDB_FIRST && id <= IDB_LAST; }

}  // namespace tesoro
#endif
