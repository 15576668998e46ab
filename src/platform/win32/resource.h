/* Resource ids, shared by the resource script and the C++ code (so:
   preprocessor definitions only). */
#ifndef ZT_PLATFORM_WIN32_RESOURCE_H
#define ZT_PLATFORM_WIN32_RESOURCE_H

#define IDS_APP_TITLE 103
#define IDD_ABOUTBOX 103
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDI_ZUMMERTOCK 107
#define IDI_SMALL 108
#define IDC_ZUMMERTOCK 109
/* Named by the About box's icon control; the program holds no such icon. */
#define IDR_MAINFRAME 128

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
