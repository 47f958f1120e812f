// What a screen reader hears for the controls of the program's windows.
#pragma once

class QWidget;

namespace Accessibility {

// Gives every control of the window that shows no caption a name: its hint, or the name this
// program gives it. Captions are left to the toolkit, which reads them as they stand, so a
// toggled or translated caption is heard as shown. Call once, after the window's layout.
void describe(QWidget *window);

} // namespace Accessibility
