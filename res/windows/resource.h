// Resource ids shared by the resource script and the code.
#pragma once

#define IDR_MAINFRAME 128
#define IDB_BACKGROUND 129
#define IDC_SAVER 129
#define IDD_CONFIG 133
#define IDB_LEAF_FIRST 148
#define IDB_LEAF_LAST 155
#define IDC_NODIRECT 1011
#define IDC_HOMEPAGE 1012
#define IDS_DESCRIPTION 1
