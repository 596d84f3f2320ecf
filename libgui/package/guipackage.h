#pragma once

// Mounts the toolkit's resource package "libgui.rcc" under ":/libgui" (its texts join the
// catalogue) and adds its icons to the icon roots, once per process. Throws like
// registerResourceFile when the package cannot be mounted.
void registerGuiPackage();
