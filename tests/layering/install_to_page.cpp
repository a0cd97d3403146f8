// Must not build: the install road knows no page (the pages and the command line are its
// front ends).
#include "install/outcome.h"
#include "pages/install_run.h"
