#pragma once

// The year of the program's build date; with the current year it bounds year tests and the
// age of releases.
int buildYear();
