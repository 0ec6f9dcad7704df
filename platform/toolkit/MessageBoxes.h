#pragma once

#include <QString>

class QWidget;

namespace kw27 {

enum class MessageIcon { Warning, Stop };

// Everything the programs show as a message box goes through here, so that a test can record
// the boxes instead of waiting for a person to press OK.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(QWidget* parent, const QString& caption, const QString& text,
                      MessageIcon icon) = 0;
};

// Installs sink (not owned); nullptr restores the real modal boxes. Returns the previous one.
MessageSink* setMessageSink(MessageSink* sink);

// The warning box: caption "警告", exclamation icon, one OK button; returns when dismissed.
void showWarning(QWidget* parent, const QString& text);

// The general error report: the message with "." appended when its last character sorts after
// ".", the application title as caption, a stop icon and one OK button.
void showErrorReport(const QString& message);

// The application title: the executable's file name up to its first ".", every character
// after the first in lower case ("Chimelab" -> "Chimelab", "TRIPLAY.EXE" -> "Triplay").
QString applicationTitle();
QString applicationTitleFor(const QString& executableFileName);

// The message text as the general error report shows it.
QString errorReportText(const QString& message);

} // namespace kw27
