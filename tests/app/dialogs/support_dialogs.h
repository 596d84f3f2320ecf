#pragma once

// Texts, the toolkit's and the application's icons, as the program has them.
void loadDialogTestPackages();
