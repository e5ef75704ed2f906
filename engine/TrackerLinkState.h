#pragma once
// What the tracker link remembers between cycles: the selected port and line
// settings, and the set-up command that the tracker last acknowledged.
#include <QString>

namespace corvane {

struct TrackerLinkState {
    int portNumber = 0;         // 1..4; 0 until the first port selection
    QString portSettings;       // such as "19200,n,8,1"; empty until the first speed selection
    QString acceptedCommand;    // empty while the tracker is not configured
};

} // namespace corvane
