#pragma once

#include <QString>

class QWidget;

namespace kw27 {

// What a screen reader calls a control: its caption as shown (access-key ampersands removed;
// for a box, the text of the label whose buddy it is), or, for a control without a caption,
// its tooltip on one line. Empty when it has neither.
QString accessibleNameFor(const QWidget* control);

// Names every control under root that a pupil can use and that has no name yet, so that a
// screen reader can say what each button, box and chooser is. Call once the window's controls
// exist; names given by hand are kept.
void nameControls(QWidget* root);

} // namespace kw27
