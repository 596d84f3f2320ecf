#pragma once

#include <functional>

// Mounts the core and toolkit packages once, so texts and icons resolve as in the program.
void initGuiTestPackages();

// Runs action once the next modal dialog or message box is up (polled by a timer); the
// action gets the active modal widget.
class QWidget;
void whenModalShown(const std::function<void(QWidget *)> &action);

// One notch of the mouse wheel (delta 120 up, -120 down) over the widget's centre.
void turnWheel(QWidget *widget, int delta);
