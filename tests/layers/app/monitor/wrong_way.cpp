// Not compiled: the folder check is run on this file as if monitor/ of the
// pretend app below might use nothing but itself; it must refuse the editor's
// header, the file at the top and the name without a folder, and let the
// header of a library below the app pass.
#include "monitor/wrong_way.cpp"
#include "model/project.h"
#include "editor/window.h"
#include "top.h"
#include "window.h"
