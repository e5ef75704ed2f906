#pragma once
#include <QString>

namespace corvane {

// The user documentation shown in the information window, translated for the
// translators installed when it is called: plain text (ASCII in English),
// lines of at most 80 characters joined by carriage return and line feed.
// It opens with the product's name and version, followed by ten sections,
// each introduced by a line of "=", its title and a line of "-".
QString helpText();

} // namespace corvane
