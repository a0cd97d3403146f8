// Counting what a test's own process holds of the window system.
#pragma once

namespace testsupport {

// How many more GDI objects this process can make: the platform's limit less those alive.
// A leak lowers it, under Wine too (where GetGuiResources answers 0).
int GdiObjectsLeft();

}  // namespace testsupport
