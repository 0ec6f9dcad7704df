#pragma once

class QDialog;

namespace kw27 {

// Closes the completion lists of the dialog's text boxes whenever the dialog goes, and keeps
// them closed until it shows again. A list is a window of its own, and under X11 it can
// outlive its dialog: its box keeps the focus until the window system has activated another
// window, and a folder that a file dialog finishes reading after Enter opens the list again.
// Left on the screen, the list swallows the next click anywhere.
void closeCompletionWithDialog(QDialog* dialog);

} // namespace kw27
