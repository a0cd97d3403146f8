// Must be refused: a relative include would reach a page from the form layer.
#include "../../../src/pages/version_list.h"
