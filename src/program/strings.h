/* Texts of the program's own resources, shared by the C++ backends and the
   Windows resource script (so: preprocessor definitions only). */
#ifndef ZT_APP_STRINGS_H
#define ZT_APP_STRINGS_H

#define ZT_WINDOW_TITLE "QQQQQQQQ"
#define ZT_WINDOW_CLASS "QQQQQQQQ"
#define ZT_ABOUT_CAPTION "About florbit"
#define ZT_ABOUT_VERSION "florbit, Version 1.0"
#define ZT_ABOUT_NOTICE "Made by the Zummertock team."

#endif
