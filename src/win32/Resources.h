#pragma once
// Resource numbers of the program: its icon and the illustrations of the help
// windows, stored in the exe as they are in src/screens/art.

#define IDI_PROGRAM 1

#define IDR_PICTURE_MEASURE 101
#define IDR_PICTURE_PRINTER_PORT 102
#define IDR_PICTURE_VFD_DISPLAY 103
#define IDR_PICTURE_PROBES 104
#define IDR_PICTURE_FOURTH_AXIS_HOMING 105
