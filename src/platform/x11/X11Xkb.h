#pragma once

// xcb's XKB header names a structure member `explicit`, a C++ keyword: include it through here.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
