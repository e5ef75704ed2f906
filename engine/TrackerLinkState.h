#pragma once
// What the tracker link remembers between cycles: the selected port and line
// settings, the set-up command that the tracker last acknowledged, and where
// the link stands, for the port list's tooltip and the log.
#include <QMap>
#include <QSet>
#include <QString>

namespace corvane {

enum class LinkPhase {
    Closed,    // before the first cycle and after the shutdown
    Searching, // no port is open
    Waiting,   // a port is open; the tracker has not acknowledged the set-up
    SetUp,     // the tracker acknowledged the set-up
};

struct TrackerLinkState {
    int portNumber = 0;      // 1..4; 0 until the first port selection
    QString portSettings;    // such as "19200,n,8,1"; empty until the first speed selection
    QString acceptedCommand; // empty while the tracker is not configured
    LinkPhase phase = LinkPhase::Closed;
    // Why COM n did not open when it was last tried; removed once it opens.
    QMap<int, QString> refusals;
    // The ports among those that stand for a device: one that refuses is
    // a problem to fix (access rights, another program), not an empty socket.
    QSet<int> refusedDevices;
    // Why the port that was open closed by itself; empty once a tracker is
    // set up again, or when the link closed it.
    QString lost;
    // The tracker on the open port has not answered its last set-up.
    bool unanswered = false;
};

} // namespace corvane
