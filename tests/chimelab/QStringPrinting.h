#pragma once

#include <QString>
#include <ostream>

// Test failures show texts as text rather than as a list of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
