#pragma once

// libmdb's header wraps its own includes in extern "C", <glib.h> among them;
// glib must therefore be seen first, from C++.
#include <glib.h>
#include <mdbtools.h>
