// Lets test failures show texts as text rather than as bytes.
#pragma once

#include <ostream>

#include <QString>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
