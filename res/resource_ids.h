/* The program's resource ids, defined once for the resource script (which
   windres runs through the C preprocessor) and for the code: defines only. */
#pragma once

#define IDS_DESCRIPTION 1 /* the name the system lists the saver under */
#define IDR_MAINFRAME 128 /* the program's icon */
#define IDB_BACKGROUND 129
#define IDC_SAVER 129 /* the saver windows' cursor */
#define IDD_CONFIG 133
#define IDB_LEAF148 148
#define IDB_LEAF149 149
#define IDB_LEAF150 150
#define IDB_LEAF151 151
#define IDB_LEAF152 152
#define IDB_LEAF153 153
#define IDB_LEAF154 154
#define IDB_LEAF155 155
#define IDB_LEAF_FIRST IDB_LEAF148
#define IDB_LEAF_LAST IDB_LEAF155

/* Controls of the configuration dialog. */
#define IDC_NODIRECT 1011
#define IDC_HOMEPAGE 1012
