#pragma once

// Failures show texts as text. QString lives in the global namespace, where gtest looks.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
