// Resource identifiers shared by the resource script and the program.
#pragma once

#define IDD_SHEET 1001
#define IDD_HEADER 1002
#define IDC_LINK_CURSOR 1003
#define IDI_PLAY 1004
#define IDI_STOP 1005
