#pragma once
// The serial link to the head tracker: keeps the port open (searching the ports
// and speeds while none opens) and the tracker set up with the current settings.
#include "engine/AppContext.h"
#include "engine/WindowView.h"
#include "platform/EventPump.h"

#include <QByteArray>
#include <QLoggingCategory>

namespace corvane {

// The link's state changes, on standard error; off unless QT_LOGGING_RULES
// switches it on ("corvane.link=true").
Q_DECLARE_LOGGING_CATEGORY(lcLink)

class TrackerLink {
public:
    TrackerLink(AppContext& app, WindowView& view, EventPump& pump);

    // Once per cycle: reopen after a change of port or speed, search while no
    // port opens, set the tracker up whenever its command text changes.
    void ServiceTrackerLink();

    // The set-up command built from the window's current texts, and the tracker
    // mode it selects.
    QString setupCommand(QString* mode = nullptr) const;

    void SendStartCommand(); // "S" when the port is open
    void SendStopCommand();  // "!" when the port is open
    // Stop and reset the tracker and close the port.
    void shutdown();

    bool portOpen() const;
    // Everything received since the last read (the port must be open).
    QByteArray read();

private:
    void openAndSearch();
    // Records an open of the current port: failed for `refusal`, or opened.
    void tried(const QString& refusal);
    void enter(LinkPhase phase, const QString& what);
    void setUp();
    void drain();
    void write(const QByteArray& bytes);

    AppContext& app_;
    WindowView& view_;
    EventPump& pump_;
    // The last command built, kept with the texts it was built from: the link
    // asks for it every cycle, and the texts seldom change.
    struct Built {
        SetupTexts texts;
        QString command, mode;
    };
    mutable Built built_;
};

// For the port list's tooltip: the device behind each COM n and where the link stands.
QString describeLink(const AppContext& app);

} // namespace corvane
