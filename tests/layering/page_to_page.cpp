// Must not build: a page sees what the pages share, never another page.
#include "pages/version_list.h"
#include "pages/plugin/form2.h"
