// Must not build: the form layer knows no page.
#include "forms/records.h"
#include "pages/version_list.h"
