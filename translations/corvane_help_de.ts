<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>corvane::HelpText</name>
    <message>
        <source>
Tollan Corvane 1.2 - Head Tracker Driver for Linux

Corvane turns the movements of your head, as a serial head tracker reports
them, into mouse motion and key strokes. Turn, tilt and lean your head to
look around in a game or to steer any other program that listens to the
mouse and the keyboard.
</source>
        <translation>
Tollan Corvane 1.2 - Head-Tracker-Treiber für Linux

Corvane macht aus den Bewegungen Ihres Kopfes, wie ein serieller Head-Tracker
sie meldet, Mausbewegungen und Tastenanschläge. Drehen, neigen und beugen Sie
den Kopf, um sich in einem Spiel umzusehen oder jedes andere Programm zu
steuern, das auf Maus und Tastatur hört.
</translation>
    </message>
    <message>
        <source>A. CONTENTS</source>
        <translation>A. INHALT</translation>
    </message>
    <message>
        <source>
  A. CONTENTS
  B. INSTALLATION
  C. Starting the Tracker
  D. Changing the Settings
  E. Tracker Settings
  F. Mouse Settings
  G. Keyboard Settings
  H. Other Settings
  I. UNINSTALLING
  J. RELEASE NOTES
</source>
        <translation>
  A. INHALT
  B. INSTALLATION
  C. Den Tracker starten
  D. Die Einstellungen ändern
  E. Tracker-Einstellungen
  F. Maus-Einstellungen
  G. Tastatur-Einstellungen
  H. Sonstige Einstellungen
  I. DEINSTALLATION
  J. VERSIONSHINWEISE
</translation>
    </message>
    <message>
        <source>C. Starting the Tracker</source>
        <translation>C. Den Tracker starten</translation>
    </message>
    <message>
        <source>
1. Choose a profile in the &quot;Profile&quot; list at the top of the main window.
   Its settings take effect at once. Corvane remembers the profile you
   chose and selects it again at the next start.

2. Press &quot;Start&quot;. The button then reads &quot;Stop&quot;, and Corvane moves the
   mouse pointer and sends key strokes as you move your head.

3. Press &quot;Stop&quot; to stop the tracker. The mouse and the keyboard are then
   yours alone again.

Corvane keeps the connection to the tracker up all the time, whether the
tracker is started or stopped (see E. Tracker Settings). Head movement has
an effect only when the tracker has answered Corvane&apos;s set-up and the
tracker is started.

You can also start and stop the tracker with global key combinations that
work while another program, for example your game, has the focus. See
H. Other Settings.

To end Corvane, close its main window. Corvane then stops the tracker and
resets it before it closes the port, so the tracker is ready for the next
start. Logging out, Ctrl+C in the terminal that started Corvane, and a
service manager stopping it end Corvane in the same way. If the desktop&apos;s
display server ends while Corvane runs, Corvane also releases the keys it
holds and stops and resets the tracker before it ends.

The &quot;Help&quot; button opens this window. Closing it only hides it: the next
time it opens where you left it. The &quot;Tollan Home Page&quot; button opens the
maker&apos;s home page in your web browser.
</source>
        <translation>
1. Wählen Sie oben im Hauptfenster ein Profil in der Liste &quot;Profil&quot;. Seine
   Einstellungen gelten sofort. Corvane merkt sich das gewählte Profil und
   wählt es beim nächsten Start wieder aus.

2. Drücken Sie &quot;Start&quot;. Die Schaltfläche heißt dann &quot;Stopp&quot;, und Corvane
   bewegt den Mauszeiger und sendet Tastenanschläge, während Sie den Kopf
   bewegen.

3. Drücken Sie &quot;Stopp&quot;, um den Tracker anzuhalten. Maus und Tastatur gehören
   dann wieder Ihnen allein.

Corvane hält die Verbindung zum Tracker die ganze Zeit aufrecht, ob der
Tracker gestartet oder angehalten ist (siehe E. Tracker-Einstellungen).
Kopfbewegungen wirken nur, wenn der Tracker auf die Einrichtung durch Corvane
geantwortet hat und der Tracker gestartet ist.

Sie können den Tracker auch mit globalen Tastenkombinationen starten und
anhalten, die auch dann wirken, wenn ein anderes Programm, etwa Ihr Spiel, den
Fokus hat. Siehe H. Sonstige Einstellungen.

Um Corvane zu beenden, schließen Sie sein Hauptfenster. Corvane hält dann den
Tracker an und setzt ihn zurück, bevor es den Anschluss schließt, sodass der
Tracker für den nächsten Start bereit ist. Abmelden, Strg+C im Terminal, in
dem Corvane gestartet wurde, und das Anhalten durch einen Dienstverwalter
beenden Corvane auf dieselbe Weise. Endet der Anzeigeserver der
Arbeitsumgebung, während Corvane läuft, lässt Corvane ebenfalls die gehaltenen
Tasten los und hält den Tracker an und setzt ihn zurück, bevor es endet.

Die Schaltfläche &quot;Hilfe&quot; öffnet dieses Fenster. Schließen blendet es nur aus:
Beim nächsten Mal öffnet es sich dort, wo Sie es verlassen haben. Die
Schaltfläche &quot;Tollan-Homepage&quot; öffnet die Homepage des Herstellers in Ihrem
Webbrowser.
</translation>
    </message>
    <message>
        <source>D. Changing the Settings</source>
        <translation>D. Die Einstellungen ändern</translation>
    </message>
    <message>
        <source>
Press &quot;Show Settings&quot; to show the settings below the profile list, and
&quot;Hide Settings&quot; to hide them again. The settings are grouped in four tabs:
Tracker, Mouse, Keyboard and Other (sections E to H).

All settings change at once: every change takes effect the moment you make
it, also while the tracker is running, so you can try values out while you
play. A change belongs to the profile shown in the list. It stays in
memory, also when you switch to another profile and back, but it is not
written to the settings file until you save.

A number setting has a slider and a number box. Move the slider or type a
number into the box. A number outside the setting&apos;s range puts the slider
at its nearest end, and the box then shows that end, selected, so that the
next key you type starts a new number: typing 5 into the Update Delay box
gives 10, its smallest value. Numbers are written with a point, whatever
the language of your desktop.

The four buttons at the bottom of the settings:

  Save      Writes the settings file and so makes the changes permanent.
            It saves the unsaved changes of every profile, not only those
            of the profile shown.

  Cancel    Reloads the settings file. The unsaved changes of every
            profile are lost.

  Save As   Asks for a name and saves the settings shown as a profile of
            that name. The unsaved changes of the other profiles are
            dropped. If a profile of that name exists, Corvane asks before
            it overwrites it.

  Delete    Removes the profile shown from the settings file and selects
            &quot;Default Mouse Emulation&quot;. A default profile is not removed:
            Delete restores its original settings instead. The list then
            shows no profile; choose one to see its settings. Choose a
            profile before you press Delete again: with no profile shown,
            Delete removes the profile still in use, even a default one.

Each of these buttons asks you first; answer &quot;No&quot; to leave everything as it
was.
</source>
        <translation>
Drücken Sie &quot;Einstellungen&quot;, um die Einstellungen unter der Profilliste
anzuzeigen, und &quot;Ausblenden&quot;, um sie wieder auszublenden. Die Einstellungen
sind auf vier Reiter verteilt: Tracker, Maus, Tastatur und Sonstiges
(Abschnitte E bis H).

Alle Einstellungen ändern sich sofort: Jede Änderung wirkt in dem Moment, in
dem Sie sie vornehmen, auch während der Tracker läuft, sodass Sie Werte beim
Spielen ausprobieren können. Eine Änderung gehört zu dem Profil, das in der
Liste angezeigt wird. Sie bleibt im Speicher, auch wenn Sie zu einem anderen
Profil und zurück wechseln, wird aber erst beim Speichern in die
Einstellungsdatei geschrieben.

Eine Zahleneinstellung hat einen Schieberegler und ein Zahlenfeld. Bewegen Sie
den Regler oder tippen Sie eine Zahl in das Feld. Eine Zahl außerhalb des
Bereichs der Einstellung setzt den Regler an sein nächstes Ende, und das Feld
zeigt dann diesen Endwert markiert an, sodass die nächste getippte Taste eine
neue Zahl beginnt: 5 im Feld Aktualisierung ergibt 10, seinen kleinsten Wert.
Zahlen werden mit einem Punkt geschrieben, gleich in welcher Sprache Ihre
Arbeitsumgebung läuft.

Die vier Schaltflächen unter den Einstellungen:

  Speichern   Schreibt die Einstellungsdatei und macht die Änderungen so
              dauerhaft. Es speichert die ungespeicherten Änderungen aller
              Profile, nicht nur die des angezeigten Profils.

  Abbrechen   Lädt die Einstellungsdatei neu. Die ungespeicherten Änderungen
              aller Profile gehen verloren.

  Speich. als Fragt nach einem Namen und speichert die angezeigten
              Einstellungen als Profil mit diesem Namen. Die ungespeicherten
              Änderungen der anderen Profile werden verworfen. Gibt es schon
              ein Profil mit diesem Namen, fragt Corvane, bevor es dieses
              überschreibt.

  Löschen     Entfernt das angezeigte Profil aus der Einstellungsdatei und
              wählt &quot;Default Mouse Emulation&quot; aus. Ein Standardprofil wird
              nicht entfernt: Löschen stellt stattdessen seine ursprünglichen
              Einstellungen wieder her. Die Liste zeigt danach kein Profil;
              wählen Sie eines, um seine Einstellungen zu sehen. Wählen Sie
              ein Profil, bevor Sie erneut Löschen drücken: Ist kein Profil
              angezeigt, entfernt Löschen das noch verwendete Profil, selbst
              ein Standardprofil.

Jede dieser Schaltflächen fragt zuerst nach; antworten Sie &quot;Nein&quot;, um alles so
zu lassen, wie es war.
</translation>
    </message>
    <message>
        <source>E. Tracker Settings</source>
        <translation>E. Tracker-Einstellungen</translation>
    </message>
    <message>
        <source>
Model
    The tracker model. Corvane 1.2 knows one model, &quot;Ambrel&quot;.

Connection
    Location  The serial port, &quot;COM 1&quot; to &quot;COM 4&quot; (see B. INSTALLATION for
              how Corvane finds the device behind each name).
    Speed     The line speed, from &quot;19200 Kbps&quot; down to &quot;1200 Kbps&quot;.
    Mode      The tracker mode, &quot;Mouse Emulation&quot; or &quot;Euler Angle&quot;.

    Automatic search: while the selected port cannot be opened, Corvane
    searches by itself. On each port from COM 1 to COM 4 it tries the
    speeds from 19200 down to 1200, and the Location and Speed lists show
    what it tries. The search stops at the first port that opens, and the
    profile takes that port and speed (save the profile to keep them).
    The search only finds a port that opens: if the wrong port opens,
    choose the right one yourself.

    When the port is open, Corvane sends the tracker its set-up: the
    tracker mode and the filter levels. It waits up to two seconds for the
    answer and tries again until the tracker answers; until then the
    tracker has no effect. Changing the mode or a filter level sets the
    tracker up anew.

    Where is the tracker? Rest the mouse pointer on the Location list. Its
    tooltip names the device behind each of COM 1 to COM 4, with the
    adapter&apos;s description where the system gives one, or says why there is
    none. A device that refused to open says why; for &quot;permission denied&quot;
    it tells you which group to join (see B. INSTALLATION). The last line
    says where the link stands: searching the ports, a port open and
    waiting for the tracker&apos;s answer, or the tracker set up.

    The same changes can be written to the terminal. Start Corvane with

        QT_LOGGING_RULES=corvane.link=true ./corvane

    and it reports each step: the search, every port that does not open
    and why, the port that opens and at what speed, the set-up and the
    tracker&apos;s answer, and the reset when Corvane ends.

    The two tracker modes:

      Mouse Emulation  The tracker reports how far your head has moved,
                       left-right and up-down. This mode has no side-side
                       axis, so the Side-Side settings and the Lean Left
                       and Lean Right mappings are disabled.

      Euler Angle      The tracker reports the three angles of your head,
                       and Corvane turns each change of angle into a
                       movement: left-right, up-down and side-side.

Filters
    Magnetic, Jitter and Tilt, each from 0 to 7, are filter levels that
    Corvane sends to the tracker with the set-up. In the Euler Angle mode
    the tracker is not sent Jitter.

    Jitter is also the threshold of the key mappings: a movement sends its
    keys only when it is larger than Jitter. In the Euler Angle mode Jitter
    keeps small movements from moving the pointer as well: the pointer
    moves only when a movement is larger than Jitter times the axis&apos;s
    speed divided by 8.
</source>
        <translation>
Modell
    Das Trackermodell. Corvane 1.2 kennt ein Modell, &quot;Ambrel&quot;.

Verbindung
    Anschluss Der serielle Anschluss, &quot;COM 1&quot; bis &quot;COM 4&quot; (wie Corvane das
              Gerät hinter jedem Namen findet, steht in B. INSTALLATION).
    Baudrate  Die Übertragungsrate, von &quot;19200 kbit/s&quot; bis hinunter zu
              &quot;1200 kbit/s&quot;.
    Modus     Der Trackermodus, &quot;Mausemulation&quot; oder &quot;Eulerwinkel&quot;.

    Automatische Suche: Solange der gewählte Anschluss sich nicht öffnen
    lässt, sucht Corvane selbst. An jedem Anschluss von COM 1 bis COM 4
    versucht es die Baudraten von 19200 bis hinunter zu 1200, und die Listen
    Anschluss und Baudrate zeigen, was es gerade versucht. Die Suche endet
    beim ersten Anschluss, der sich öffnet, und das Profil übernimmt diesen
    Anschluss und diese Baudrate (speichern Sie das Profil, um sie zu
    behalten). Die Suche findet nur einen Anschluss, der sich öffnet: Öffnet
    sich der falsche, wählen Sie den richtigen selbst.

    Ist der Anschluss offen, sendet Corvane dem Tracker seine Einrichtung: den
    Trackermodus und die Filterstufen. Es wartet bis zu zwei Sekunden auf die
    Antwort und versucht es erneut, bis der Tracker antwortet; bis dahin hat
    der Tracker keine Wirkung. Eine Änderung des Modus oder einer Filterstufe
    richtet den Tracker neu ein.

    Wo ist der Tracker? Lassen Sie den Mauszeiger auf der Liste Anschluss
    ruhen. Ihr Tooltip nennt das Gerät hinter jedem von COM 1 bis COM 4, mit
    der Beschreibung des Adapters, wo das System eine liefert, oder sagt,
    warum es keines gibt. Bei einem Gerät, das sich nicht öffnen ließ, steht
    der Grund dabei; bei &quot;permission denied&quot; steht dort, welcher Gruppe Sie
    beitreten müssen (siehe B. INSTALLATION). Die letzte Zeile sagt, wie es um
    die Verbindung steht: Die Anschlüsse werden durchsucht, ein Anschluss ist
    offen und wartet auf die Antwort des Trackers, oder der Tracker ist
    eingerichtet.

    Dieselben Änderungen lassen sich im Terminal ausgeben. Starten Sie Corvane
    mit

        QT_LOGGING_RULES=corvane.link=true ./corvane

    und es meldet jeden Schritt: die Suche, jeden Anschluss, der sich nicht
    öffnet, und warum, den Anschluss, der sich öffnet, und mit welcher
    Baudrate, die Einrichtung und die Antwort des Trackers sowie das
    Zurücksetzen, wenn Corvane endet.

    Die beiden Trackermodi:

      Mausemulation    Der Tracker meldet, wie weit sich Ihr Kopf bewegt hat,
                       links-rechts und auf-ab. Dieser Modus hat keine
                       seitliche Achse, daher sind die Einstellungen Seitwärts
                       und die Zuordnungen Neig links und Neig rechts
                       deaktiviert.

      Eulerwinkel      Der Tracker meldet die drei Winkel Ihres Kopfes, und
                       Corvane macht aus jeder Winkeländerung eine Bewegung:
                       links-rechts, auf-ab und seitwärts.

Filter
    Magnetisch, Zittern und Neigung, jeweils von 0 bis 7, sind Filterstufen,
    die Corvane dem Tracker mit der Einrichtung sendet. Im Modus Eulerwinkel
    wird dem Tracker Zittern nicht gesendet.

    Zittern ist auch die Schwelle der Tastenzuordnungen: Eine Bewegung sendet
    ihre Tasten nur, wenn sie größer als Zittern ist. Im Modus Eulerwinkel
    hält Zittern außerdem kleine Bewegungen davon ab, den Zeiger zu bewegen:
    Der Zeiger bewegt sich nur, wenn eine Bewegung größer ist als Zittern mal
    die Geschwindigkeit der Achse geteilt durch 8.
</translation>
    </message>
    <message>
        <source>F. Mouse Settings</source>
        <translation>F. Maus-Einstellungen</translation>
    </message>
    <message>
        <source>
Mode
    &quot;Mouse Event&quot; lets your head move the mouse pointer. &quot;Disabled&quot; leaves
    the pointer alone; the key mappings and the Output Monitor still work.
    &quot;Joystick&quot; leaves the pointer alone too and gives the head&apos;s position
    to simulators and games as a joystick (see &quot;Joystick&quot; below).

Smoothing (Left-Right, Up-Down, Side-Side; 0 to 40)
    Each axis is smoothed with a moving average: the value used is the
    average of the newest reading and the N readings before it, where N is
    the setting. 0 uses the raw values. Higher values give a calmer but
    slower pointer.

Speed (Left-Right, Up-Down, Side-Side; 0 to 40)
    Each axis is multiplied by its speed divided by 10: 10 leaves the
    movement unchanged, 20 doubles it, 5 halves it and 0 turns the axis
    off. The speed boxes hold whole numbers. A point typed into one is
    removed at once, and what is left is selected, so typing 7.6 key by
    key leaves 6. A fraction pasted in as a whole is rounded: pasting 7.6
    gives 8. A text that is not a number is refused with an error message.

The pointer follows the left-right and up-down axes. Side-side (leaning)
never moves the pointer; it can only send keys (G. Keyboard Settings). A
direction that has a key mapping does not move the pointer either, unless
the key mode is &quot;Disabled&quot;.

Joystick
    In the mode &quot;Joystick&quot; Corvane makes a virtual joystick, &quot;Corvane
    head&quot;, through the kernel&apos;s uinput device (the same access as the
    virtual pointer; the status line says what to run when it is
    missing). Its three axes follow the head: X turning (right is
    positive), Y looking up and down (down is positive) and Z leaning
    (right is positive), each from -32767 to 32767. Simulators that let an
    axis drive the view read them: X-Plane, FlightGear, Euro Truck and
    American Truck Simulator, and IL-2 or DCS under Proton, among others.
    Bind the view&apos;s axes to the joystick &quot;Corvane head&quot; in the game.

    The centre is where your head is when tracking starts: all three axes
    are 0 there. Stop returns them to 0, so the view comes back to
    straight ahead, and Start takes the head&apos;s position then as the new
    centre. While the tracker is lost the axes rest at the centre, and
    where the head is when it is back is the new centre. In the Euler
    Angle mode each axis is the angle from the
    centre; in the Mouse Emulation mode it is the sum of the movements
    since the centre, held at the end of the range (so turning back moves
    it at once), and leaning gives nothing. Smoothing averages the axes as
    it does the pointer&apos;s moves, and speed scales how far an axis goes:
    at speed S it reaches its end after 32767 / (0.8 x S) of the tracker&apos;s
    units. With &quot;Default Mouse Emulation&quot; (speeds 17 and 16) that is 2409
    units of movement (241 counts) to the side and 2560 up or down; with
    &quot;Default Euler Angle&quot; (speeds 7 and 5), 5851 and 8192 angle units,
    about 64 and 90 degrees. Side-side speed is 0 in the default profiles:
    raise it to lean. A direction with a key mapping, leaning included,
    keeps its axis at the centre while the head is to that side, unless
    the key mode is &quot;Disabled&quot;. The Output Monitor shows the axes&apos; values in this mode.

    The joystick is made when a profile first chooses the mode and stays
    until Corvane ends, so that a game started before tracking finds it;
    leaving the mode returns its axes to the centre. When it cannot be
    made, Start tries again. When Corvane ends,
    the axes return to the centre and the joystick is removed.
</source>
        <translation>
Modus
    &quot;Mausereignis&quot; lässt Ihren Kopf den Mauszeiger bewegen. &quot;Aus&quot; lässt den
    Zeiger in Ruhe; die Tastenzuordnungen und die Anzeige &quot;Ausgabe&quot;
    funktionieren weiterhin. &quot;Joystick&quot; lässt den Zeiger ebenfalls in Ruhe und
    gibt die Kopfposition als Joystick an Simulatoren und Spiele weiter (siehe
    &quot;Joystick&quot; unten).

Glättung (Links-Rechts, Auf-Ab, Seitwärts; 0 bis 40)
    Jede Achse wird mit einem gleitenden Mittelwert geglättet: Verwendet wird
    der Mittelwert aus dem neuesten Messwert und den N Messwerten davor, wobei
    N die Einstellung ist. 0 verwendet die Rohwerte. Höhere Werte ergeben
    einen ruhigeren, aber trägeren Zeiger.

Geschwindigkeit (Links-Rechts, Auf-Ab, Seitwärts; 0 bis 40)
    Jede Achse wird mit ihrer Geschwindigkeit geteilt durch 10 multipliziert:
    10 lässt die Bewegung unverändert, 20 verdoppelt sie, 5 halbiert sie und 0
    schaltet die Achse ab. Die Geschwindigkeitsfelder nehmen ganze Zahlen auf.
    Ein hineingetippter Punkt wird sofort entfernt und der Rest markiert,
    sodass 7.6 Taste für Taste getippt 6 ergibt. Ein als Ganzes eingefügter
    Bruch wird gerundet: Das Einfügen von 7.6 ergibt 8. Ein Text, der keine
    Zahl ist, wird mit einer Fehlermeldung abgewiesen.

Der Zeiger folgt den Achsen links-rechts und auf-ab. Die Achse Seitwärts
(Neigen) bewegt den Zeiger nie; sie kann nur Tasten senden
(G. Tastatur-Einstellungen). Auch eine Richtung mit einer Tastenzuordnung
bewegt den Zeiger nicht, außer der Tastenmodus ist &quot;Aus&quot;.

Joystick
    Im Modus &quot;Joystick&quot; erzeugt Corvane über das uinput-Gerät des Kernels
    einen virtuellen Joystick, &quot;Corvane head&quot; (derselbe Zugriff wie für den
    virtuellen Zeiger; die Statuszeile sagt, was auszuführen ist, wenn er
    fehlt). Seine drei Achsen folgen dem Kopf: X das Drehen (rechts ist
    positiv), Y das Blicken nach oben und unten (unten ist positiv) und Z das
    Neigen (rechts ist positiv), jeweils von -32767 bis 32767. Simulatoren,
    bei denen eine Achse die Sicht steuern kann, lesen sie, unter anderem
    X-Plane, FlightGear, Euro Truck und American Truck Simulator sowie IL-2
    oder DCS unter Proton. Weisen Sie die Achsen der Sicht im Spiel dem
    Joystick &quot;Corvane head&quot; zu.

    Die Mitte ist dort, wo Ihr Kopf beim Start der Verfolgung ist: Alle drei
    Achsen stehen dort auf 0. Stopp setzt sie auf 0 zurück, sodass die Sicht
    wieder geradeaus blickt, und Start nimmt die dann aktuelle Kopfposition
    als neue Mitte. Solange der Tracker verloren ist, ruhen die Achsen in der
    Mitte, und wo der Kopf ist, wenn er wieder da ist, ist die neue Mitte. Im
    Modus Eulerwinkel ist jede Achse der Winkel zur Mitte; im Modus
    Mausemulation ist sie die Summe der Bewegungen seit der Mitte, am Ende des
    Bereichs festgehalten (sodass ein Zurückdrehen sie sofort bewegt), und
    Neigen ergibt nichts. Glättung mittelt die Achsen wie die
    Zeigerbewegungen, und die Geschwindigkeit bestimmt, wie weit eine Achse
    ausschlägt: Bei Geschwindigkeit S erreicht sie ihr Ende nach
    32767 / (0,8 x S) Einheiten des Trackers. Mit &quot;Default Mouse Emulation&quot;
    (Geschwindigkeiten 17 und 16) sind das 2409 Bewegungseinheiten (241
    Zählschritte) zur Seite und 2560 nach oben oder unten; mit &quot;Default Euler
    Angle&quot; (Geschwindigkeiten 7 und 5) 5851 und 8192 Winkeleinheiten, etwa 64
    und 90 Grad. Die Geschwindigkeit Seitwärts ist in den Standardprofilen 0:
    Erhöhen Sie sie, um zu neigen. Eine Richtung mit einer Tastenzuordnung,
    Neigen eingeschlossen, hält ihre Achse in der Mitte, solange der Kopf auf
    dieser Seite ist, außer der Tastenmodus ist &quot;Aus&quot;. Die Anzeige &quot;Ausgabe&quot;
    zeigt in diesem Modus die Werte der Achsen.

    Der Joystick wird erzeugt, wenn ein Profil den Modus zum ersten Mal wählt,
    und bleibt, bis Corvane endet, sodass ein Spiel, das vor der Verfolgung
    gestartet wurde, ihn findet; beim Verlassen des Modus kehren seine Achsen
    in die Mitte zurück. Lässt er sich nicht erzeugen, versucht Start es
    erneut. Wenn Corvane endet, kehren die Achsen in die Mitte zurück, und der
    Joystick wird entfernt.
</translation>
    </message>
    <message>
        <source>G. Keyboard Settings</source>
        <translation>G. Tastatur-Einstellungen</translation>
    </message>
    <message>
        <source>
Mode
    How the mapped keys are sent to the program that has the focus:

      Disabled        No keys are sent; the mapping buttons are disabled.
      Send Keys       Each mapping is typed as complete key strokes.
      Emulate Keys    The presses and releases of the mapping are sent one
                      by one, exactly as they were recorded.
      Keyboard Event  The same as Emulate Keys, through another way of
                      sending key events. If a program does not react to
                      one of the two, try the other.

Mappings
    Six movements can send keys instead of moving the pointer: &quot;Turn
    Left&quot;, &quot;Turn Right&quot;, &quot;Look Up&quot;, &quot;LookDown&quot;, &quot;Lean Left&quot; and &quot;Lean
    Right&quot;. A movement sends its keys when it is larger than the Jitter
    level (E. Tracker Settings), and sends them again at every update
    while your head stays there. Lean Left and Lean Right need the tracker
    mode &quot;Euler Angle&quot;.

    To record a mapping:

      1. Press its button, for example &quot;Turn Left&quot;. The button stays
         pressed in, and the mapping it had is cleared.

      2. Type the keys as you would in your game, for example: hold down
         Left Ctrl, press S, release S, release Left Ctrl. Corvane watches
         the whole keyboard, whatever program has the focus. The box
         beside the button shows each press in green and each release in
         red.

      3. Press the button again, or click any other control, to end the
         recording. Switching to another program does not end it.

    Keys that go down at the same moment are recorded in the order of
    their key codes. Record the releases too: in the Emulate Keys and
    Keyboard Event modes a mapping without the release of a key leaves
    that key held down. While a recording runs, no mapped keys are sent
    and the head does not move the pointer. A recording changes the
    profile in memory; save the profile to keep it.

    A mapping holds keys, not the characters they type, so the box names
    each key by its code. Letters follow your layout: on a German keyboard
    the key labelled Z records [Z]. The digit row records [0] to [9] on
    every layout, French included, and the keypad [PAD0] to [PAD9]
    whether Num Lock is on or off. Punctuation keys are named by their
    place, with the codes that the German, French and UK layouts of
    Windows give them, so that a profile means the same keys on every
    computer. Emulate Keys and Keyboard Event press exactly the recorded
    keys, adding no Shift; Send Keys types characters, with Shift or
    AltGr where your layout needs them.
</source>
        <translation>
Modus
    Wie die zugeordneten Tasten an das Programm gesendet werden, das den Fokus
    hat:

      Aus              Es werden keine Tasten gesendet; die
                       Zuordnungsschaltflächen sind deaktiviert.
      Tasten senden    Jede Zuordnung wird als vollständige Tastenanschläge
                       getippt.
      Tasten emulieren Das Drücken und Loslassen der Zuordnung wird einzeln
                       gesendet, genau so, wie es aufgezeichnet wurde.
      Tastaturereignis Dasselbe wie Tasten emulieren, auf einem anderen Weg
                       zum Senden von Tastenereignissen. Reagiert ein Programm
                       auf einen der beiden nicht, versuchen Sie den anderen.

Zuordnungen
    Sechs Bewegungen können Tasten senden, statt den Zeiger zu bewegen:
    &quot;Dreh links&quot;, &quot;Dreh rechts&quot;, &quot;Blick hoch&quot;, &quot;Blick runter&quot;, &quot;Neig links&quot;
    und &quot;Neig rechts&quot;. Eine Bewegung sendet ihre Tasten, wenn sie größer als
    die Stufe Zittern ist (E. Tracker-Einstellungen), und sendet sie bei jeder
    Aktualisierung erneut, solange Ihr Kopf dort bleibt. Neig links und
    Neig rechts brauchen den Trackermodus &quot;Eulerwinkel&quot;.

    So zeichnen Sie eine Zuordnung auf:

      1. Drücken Sie ihre Schaltfläche, zum Beispiel &quot;Dreh links&quot;. Die
         Schaltfläche bleibt eingedrückt, und die bisherige Zuordnung wird
         gelöscht.

      2. Tippen Sie die Tasten so, wie Sie es im Spiel tun würden, zum
         Beispiel: Strg links gedrückt halten, S drücken, S loslassen, Strg
         links loslassen. Corvane beobachtet die ganze Tastatur, gleich
         welches Programm den Fokus hat. Das Feld neben der Schaltfläche zeigt
         jedes Drücken in Grün und jedes Loslassen in Rot.

      3. Drücken Sie die Schaltfläche erneut oder klicken Sie auf ein anderes
         Bedienelement, um die Aufzeichnung zu beenden. Der Wechsel zu einem
         anderen Programm beendet sie nicht.

    Tasten, die im selben Moment gedrückt werden, werden in der Reihenfolge
    ihrer Tastencodes aufgezeichnet. Zeichnen Sie auch das Loslassen auf: In
    den Modi Tasten emulieren und Tastaturereignis hält eine Zuordnung ohne
    das Loslassen einer Taste diese Taste gedrückt. Während eine Aufzeichnung
    läuft, werden keine zugeordneten Tasten gesendet, und der Kopf bewegt den
    Zeiger nicht. Eine Aufzeichnung ändert das Profil im Speicher; speichern
    Sie das Profil, um sie zu behalten.

    Eine Zuordnung enthält Tasten, nicht die Zeichen, die sie tippen; daher
    benennt das Feld jede Taste nach ihrem Code. Buchstaben folgen Ihrer
    Tastaturbelegung: Auf einer deutschen Tastatur zeichnet die mit Z
    beschriftete Taste [Z] auf. Die Ziffernreihe zeichnet auf jeder Belegung
    [0] bis [9] auf, auch auf der französischen, und der Ziffernblock [PAD0]
    bis [PAD9], ob Num Lock an oder aus ist. Satzzeichentasten werden nach
    ihrem Platz benannt, mit den Codes, die ihnen die deutsche, französische
    und britische Belegung von Windows gibt, sodass ein Profil auf jedem
    Computer dieselben Tasten meint. Tasten emulieren und Tastaturereignis
    drücken genau die aufgezeichneten Tasten, ohne Umschalt hinzuzufügen;
    Tasten senden tippt Zeichen, mit Umschalt oder AltGr, wo Ihre Belegung sie
    braucht.
</translation>
    </message>
    <message>
        <source>H. Other Settings</source>
        <translation>H. Sonstige Einstellungen</translation>
    </message>
    <message>
        <source>
Global Keys
    &quot;Start&quot; and &quot;Stop&quot; are key combinations that start and stop the
    tracker from any program, as the Start and Stop button does. Record
    them like a mapping (G. Keyboard Settings): press &quot;Start&quot; or &quot;Stop&quot;
    and type the combination. They work in every key mode.

    While the tracker is stopped Corvane watches for the Start combination,
    while it runs for the Stop combination. Holding down the keys that the
    combination presses is enough; other keys may be down as well. An
    empty Stop combination never stops the tracker. While a recording
    runs the global keys are ignored, so that you can record them.

    The tracker is started or stopped at most once per second: a start or
    stop that comes within two whole seconds of the last one is ignored.
    So Start and Stop may even be the same combination.

Update Delay (Milleseconds, 10 to 100)
    The pause, in milliseconds, between two updates. At every update
    Corvane reads the tracker, moves the pointer and sends the mapped
    keys, so a held mapping repeats once per update. A shorter delay
    gives a smoother and quicker response and uses more processor time.

Output Monitor
    Shows, while the &quot;Other&quot; tab is shown, the values of the three axes
    after smoothing and speed: TL / TR (turn left and right), LU / LD
    (look up and down) and LL / LR (lean left and right). Negative values
    mean left, up or leaning left. The wide box below shows the keys that
    were sent at the last update. Use it to set the speeds and the Jitter
    level.
</source>
        <translation>
Globale Tasten
    &quot;Start&quot; und &quot;Stopp&quot; sind Tastenkombinationen, die den Tracker aus jedem
    Programm heraus starten und anhalten, wie es die Schaltfläche Start/Stopp
    tut. Zeichnen Sie sie wie eine Zuordnung auf (G. Tastatur-Einstellungen):
    Drücken Sie &quot;Start&quot; oder &quot;Stopp&quot; und tippen Sie die Kombination. Sie
    funktionieren in jedem Tastenmodus.

    Solange der Tracker angehalten ist, achtet Corvane auf die
    Startkombination, solange er läuft, auf die Stoppkombination. Es genügt,
    die Tasten gedrückt zu halten, die die Kombination drückt; andere Tasten
    dürfen zusätzlich gedrückt sein. Eine leere Stoppkombination hält den
    Tracker nie an. Während eine Aufzeichnung läuft, werden die globalen
    Tasten ignoriert, damit Sie sie aufzeichnen können.

    Der Tracker wird höchstens einmal pro Sekunde gestartet oder angehalten:
    Ein Start oder Stopp innerhalb von zwei ganzen Sekunden nach dem letzten
    wird ignoriert. Start und Stopp dürfen daher sogar dieselbe Kombination
    sein.

Aktualisierung (Millisek., 10 bis 100)
    Die Pause in Millisekunden zwischen zwei Aktualisierungen. Bei jeder
    Aktualisierung liest Corvane den Tracker, bewegt den Zeiger und sendet die
    zugeordneten Tasten, sodass sich eine gehaltene Zuordnung einmal pro
    Aktualisierung wiederholt. Ein kürzeres Intervall ergibt eine
    gleichmäßigere und schnellere Reaktion und braucht mehr Prozessorzeit.

Ausgabe
    Zeigt, solange der Reiter &quot;Sonstiges&quot; angezeigt wird, die Werte der drei
    Achsen nach Glättung und Geschwindigkeit: DL / DR (nach links und rechts
    drehen), BO / BU (nach oben und unten blicken) und NL / NR (nach links und
    rechts neigen). Negative Werte bedeuten links, oben oder nach links
    geneigt. Das breite Feld darunter zeigt die Tasten, die bei der letzten
    Aktualisierung gesendet wurden. Nutzen Sie es, um die Geschwindigkeiten
    und die Stufe Zittern einzustellen.
</translation>
    </message>
    <message>
        <source>I. UNINSTALLING</source>
        <translation>I. DEINSTALLATION</translation>
    </message>
    <message>
        <source>
Apart from the system packages that scripts/install-deps.sh installed,
Corvane built from source keeps everything in its folder. To remove it:

1. Close Corvane.

2. Delete the folder that holds the program, together with any comN links
   you made in it.

Corvane installed as a Debian package is removed with

    sudo apt remove corvane

and its settings stay in ~/.config/Corvane until you delete that folder.

Your settings are the two files Profiles1.2.dat and LastProfile1.2.dat in
the settings folder (beside the executable, or ~/.config/Corvane when
Corvane is installed where you may not write). To keep your profiles, copy
these files elsewhere first and put them back into the settings folder of a
new installation.

The packages that scripts/install-deps.sh installed are ordinary Debian
packages that other programs may use too; remove them with apt only if
nothing else needs them. If you joined the &quot;dialout&quot; group only for
Corvane, you can leave it again with

    sudo deluser $USER dialout
</source>
        <translation>
Abgesehen von den Systempaketen, die scripts/install-deps.sh installiert hat,
hält ein aus dem Quellcode gebautes Corvane alles in seinem Ordner. So
entfernen Sie es:

1. Schließen Sie Corvane.

2. Löschen Sie den Ordner, der das Programm enthält, zusammen mit allen
   comN-Verknüpfungen, die Sie darin angelegt haben.

Ein als Debian-Paket installiertes Corvane wird entfernt mit

    sudo apt remove corvane

und seine Einstellungen bleiben in ~/.config/Corvane, bis Sie diesen Ordner
löschen.

Ihre Einstellungen sind die beiden Dateien Profiles1.2.dat und
LastProfile1.2.dat im Einstellungsordner (neben der ausführbaren Datei oder
~/.config/Corvane, wenn Corvane dort installiert ist, wo Sie nicht schreiben
dürfen). Um Ihre Profile zu behalten, kopieren Sie diese Dateien zuerst an
einen anderen Ort und legen Sie sie wieder in den Einstellungsordner einer
neuen Installation.

Die Pakete, die scripts/install-deps.sh installiert hat, sind gewöhnliche
Debian-Pakete, die auch andere Programme nutzen können; entfernen Sie sie mit
apt nur, wenn nichts anderes sie braucht. Sind Sie der Gruppe &quot;dialout&quot; nur
für Corvane beigetreten, können Sie sie wieder verlassen mit

    sudo deluser $USER dialout
</translation>
    </message>
    <message>
        <source>J. RELEASE NOTES</source>
        <translation>J. VERSIONSHINWEISE</translation>
    </message>
    <message>
        <source>
Version 1.2
  - First release for Linux, for Wayland and X11 desktop sessions.
  - In an X11 session the mouse pointer is moved, and keys and mouse
    buttons are pressed, through the X server&apos;s test extension (XTEST).
  - In a Wayland session Corvane&apos;s window runs natively, and the pointer
    and the keys go through the kernel&apos;s uinput device, so they reach
    every program and every game; the keyboard is watched through the
    kernel&apos;s event devices where you may read them. See &quot;Wayland, games
    and the kernel&apos;s input devices&quot; above. Windows is planned.
  - When Corvane ends, every key and mouse button that it pressed and did
    not release is released first.
</source>
        <translation>
Version 1.2
  - Erste Veröffentlichung für Linux, für Wayland- und X11-Sitzungen.
  - In einer X11-Sitzung bewegt Corvane den Mauszeiger und drückt Tasten und
    Maustasten über die Testerweiterung des X-Servers (XTEST).
  - In einer Wayland-Sitzung läuft das Fenster von Corvane nativ, und Zeiger
    und Tasten gehen über das uinput-Gerät des Kernels, sodass sie jedes
    Programm und jedes Spiel erreichen; die Tastatur wird über die
    Ereignisgeräte des Kernels beobachtet, wo Sie sie lesen dürfen. Siehe
    &quot;Wayland, Spiele und die Eingabegeräte des Kernels&quot; oben. Windows ist
    geplant.
  - Wenn Corvane endet, lässt es zuerst jede Taste und Maustaste los, die es
    gedrückt und nicht losgelassen hat.
</translation>
    </message>
    <message>
        <source>B. INSTALLATION</source>
        <translation>B. INSTALLATION</translation>
    </message>
    <message>
        <source>
Corvane 1.2 runs on Linux, in a Wayland or an X11 desktop session.
Started without a desktop session (over ssh without X forwarding, say),
it says so in the terminal and ends.

Installing the package

Install Corvane&apos;s Debian package with

    sudo apt install ./corvane_1.2.0_amd64.deb

Corvane then appears in your desktop&apos;s menu, &quot;man corvane&quot; describes it,
and it keeps its settings in ~/.config/Corvane (see &quot;The settings files&quot;
below). The package also sets up what Corvane needs to move the pointer
everywhere: it loads the kernel&apos;s uinput module, now and at every start
of the computer, and gives the user at the seat write access to
/dev/uinput, without a restart or a new login.

To try Corvane without a tracker, start the simulated tracker that comes
with it, then Corvane, in a terminal:

    corvane-tracker-sim --link ~/.config/Corvane/com1 --motion circle &amp;
    corvane

The simulator then stands for the tracker on COM 1; click Start and the
pointer follows a head that moves in a circle. The status line at the
bottom of Corvane&apos;s window says what Corvane is doing, or what keeps it
from working and how to fix that; click it for the details. Remove
~/.config/Corvane/com1 when the real tracker is connected.

Wayland, games and the kernel&apos;s input devices

Corvane moves the pointer and sends keys through the kernel&apos;s uinput
device: it makes a virtual mouse (&quot;Corvane virtual pointer&quot;) and a
virtual keyboard (&quot;Corvane virtual keyboard&quot;) that every desktop, every
program and every game reads like real ones. This needs write access to
/dev/uinput, which the package gives (see above). If it is missing
anyway (on a computer where udev did not run when the package was
installed), run

    sudo modprobe uinput &amp;&amp; sudo udevadm trigger --action=add --subsystem-match=misc --sysname-match=uinput

When you build Corvane yourself, first put this line into the file
/etc/udev/rules.d/70-corvane-uinput.rules (one line, as it stands here;
&quot;corvane --help&quot; shows it too), run &quot;sudo udevadm control --reload&quot;, then
the command above:

KERNEL==&quot;uinput&quot;,SUBSYSTEM==&quot;misc&quot;,TAG+=&quot;uaccess&quot;,OPTIONS+=&quot;static_node=uinput&quot;

Without that access Corvane uses the X server&apos;s test extension in an X11
session or under XWayland, and then reaches only X11 programs. When
neither way works, the status line says so, with the fix.

In an X11 session Corvane keeps using the X server even when it could use
uinput, because the X server moves the pointer exactly as far as the
profile says, while the desktop treats the virtual mouse like any mouse:
its pointer acceleration makes small moves smaller and fast ones larger.
To send through uinput anyway (for a game that reads /dev/input), start
Corvane with --output uinput. To get the exact motion the profile&apos;s
speeds describe through uinput, turn the pointer acceleration off: choose
the &quot;flat&quot; acceleration profile in your desktop&apos;s mouse settings (GNOME:
Settings, Mouse &amp; Touchpad, Mouse Acceleration off; KDE: System
Settings, Mouse, Acceleration profile None).

The global Start and Stop keys and the recording of mappings watch the
keyboard through the kernel&apos;s event devices when Corvane may read them,
so they work whatever program has the focus. That needs membership of
the &quot;input&quot; group:

    sudo usermod -aG input $USER

then log out and in again. Be aware that any program you run may then
read every key you type, passwords included; Corvane only reads the
keyboards, never holds them for itself, and never keeps or writes a key.
Without that access Corvane watches the keyboard through the X server,
and then sees only the keys typed while an X11 program has the focus (in
a Wayland session, none typed into a native Wayland program).

&quot;corvane --help&quot; says which ways Corvane would use now and why;
--output uinput|x11 and --keys evdev|x11 choose them yourself, and a
choice that cannot work ends the start with a message.

Building from the source code

To make the package yourself, run in the source code&apos;s folder

    bash scripts/package.sh

and install build/corvane_1.2.0_amd64.deb as above. To build and run
Corvane without installing it:

1. Put the source code in a folder of your choice.

2. Open a terminal in that folder and run

       bash scripts/install-deps.sh
       cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
       cmake --build build

   On Debian 12 the first command installs the packages that the build
   needs; the other two build the program into the folder build/bin.

3. Connect the tracker (see &quot;Connecting the tracker&quot; below) and start
   Corvane with

       build/bin/corvane

   Use the same command to start it again later.

To try a build without a tracker, run scripts/run.sh instead: it builds
the program and starts a copy of it in build/run together with a
simulated tracker whose head moves in a circle. That copy does not use
your serial ports and keeps its own settings.

The settings files

Corvane keeps its settings in two plain text files in its settings
folder:

    Profiles1.2.dat       every profile with its settings
    LastProfile1.2.dat    the name of the profile you selected last

The settings folder is the folder of the program&apos;s executable file when
you may write there (a build folder, or a copy of Corvane in your own
folder), so files you copy beside the program are used unchanged.
Otherwise, as when Corvane is installed in /usr/bin or in another of the
system&apos;s folders (/usr, /opt and the like, even when the administrator
runs it), it is your configuration folder, normally ~/.config/Corvane,
which Corvane creates when it first writes there. Both folders hold the
same files in the same form. To tell which folder is used, run

    corvane --help

in a terminal: it names the settings folder and why it was chosen. If a
file cannot be written there (the disk is full, say), Corvane says why,
naming the folder, and keeps your file exactly as it was. It writes only
a plain file, or a link to one that holds Corvane&apos;s settings exactly as
Corvane writes them (as a dotfile manager keeps them); a link to any
other file, even a damaged profiles file, or a folder, a device or a pipe
in a file&apos;s place, is refused with a message that names the link and
where it leads, and that file is left as it was.

Corvane runs only once per settings folder, as two would overwrite each
other&apos;s profiles. If you start it again while it runs, the running
Corvane&apos;s window comes to the front and nothing else happens. A lock
left by a Corvane that ended (a crash, a power cut) is taken over by the
next start. If Corvane says it is already running but shows no window, the
process it names holds the settings folder: end it and start Corvane again.

When your profiles are beside a copy of Corvane in a folder you may not
write, the first start that uses your configuration folder copies them,
and the comN entries, there, and says so once; the old folder stays as
it was. As another user may have made that folder, it copies a profile
file only when it is a plain file of yours (or the administrator&apos;s) that
holds Corvane&apos;s settings exactly as Corvane writes them, and a comN entry
only when it is such a link to a serial device; it copies nothing when
the profiles file does not qualify. What it leaves behind, it names.

On its first start Corvane creates the three default profiles &quot;Default
Flight Simulator&quot;, &quot;Default Euler Angle&quot; and &quot;Default Mouse Emulation&quot; and
writes both files.

If Corvane finds its profile files damaged: when Profiles1.2.dat holds
nothing Corvane can read as a complete profile, or the profile used last
(named in LastProfile1.2.dat) is not in it, Corvane shows one box before it
changes anything. The box says what it found in each file, with the files&apos;
full paths. Press Return (Keep Aside and Start) to rename both files, their
contents unchanged, to names ending in &quot;.kept-&quot; and the date and time, and
start with the three default profiles, as on a first start. When the
profiles file is whole and only the profile used last is missing from it,
only LastProfile1.2.dat is renamed, and Corvane starts with the file&apos;s
&quot;Default Mouse Emulation&quot;. When the profiles file ends in the middle of
a profile (a save that was cut off), the box names that profile: Keep a
Copy and Start copies the file as it is to a name ending in &quot;.kept-&quot; and
the date and time, writes it again with the complete profiles only, and
starts with them. Or choose Quit
to close Corvane and leave both files exactly as they are, for example to
repair them by hand. Nothing you wrote is deleted: to get your old profiles
back, quit Corvane and rename the kept files to their original names. A
profiles file of more than 10,000 records is taken as damaged too, so
Corvane never saves more than 10,000 profiles: Save As says so instead.

Connecting the tracker

Corvane names the serial ports COM 1 to COM 4. On Linux it finds the
device behind COM n like this:

  - If the settings folder (see &quot;The settings files&quot; above) holds entries
    named comN (com1, com2, com3 or com4), they alone define the ports:
    COM n is the entry comN, and a COM n without one cannot be opened.
    Normally an entry is a symbolic link to the serial device, made for
    example with

        ln -s /dev/ttyUSB0 com3

  - Otherwise COM n is the n-th serial port that the system lists: USB
    serial adapters (ttyACM, ttyUSB) first, then built-in ports (ttyS),
    which open even when nothing is connected to them. So a USB adapter
    is COM 1 when it is the only one. When there are several, make comN
    links so that you know which port is which.

  - For devices the system does not list, such as pseudo-terminals, start
    Corvane with CORVANE_SERIAL_PORTS set to their paths, separated by
    colons: they then take the place of the system&apos;s list.

If the tracker&apos;s adapter is pulled out and plugged in again, Corvane finds
it again by itself. A serial port is used by one program at a time: when
another program holds it, the tooltip of the &quot;Location&quot; list names that
program (and its lock file); end it, or choose another port.

You need permission to use the serial device. On Debian the serial devices
belong to the group &quot;dialout&quot;; add yourself to it with

    sudo adduser $USER dialout

then log out and log in again for the change to take effect.
</source>
        <translation>
Corvane 1.2 läuft unter Linux, in einer Wayland- oder X11-Sitzung. Ohne
Desktop-Sitzung gestartet (etwa über ssh ohne X-Weiterleitung), meldet es das
im Terminal und endet.

Das Paket installieren

Installieren Sie das Debian-Paket von Corvane mit

    sudo apt install ./corvane_1.2.0_amd64.deb

Corvane erscheint dann im Menü Ihrer Arbeitsumgebung, &quot;man corvane&quot; beschreibt
es, und es speichert seine Einstellungen in ~/.config/Corvane (siehe &quot;Die
Einstellungsdateien&quot; unten). Das Paket richtet auch ein, was Corvane braucht,
um den Zeiger überall zu bewegen: Es lädt das Kernelmodul uinput, jetzt und
bei jedem Start des Computers, und gibt dem Benutzer am Arbeitsplatz
Schreibzugriff auf /dev/uinput, ohne Neustart und ohne neue Anmeldung.

Um Corvane ohne Tracker auszuprobieren, starten Sie in einem Terminal den
mitgelieferten simulierten Tracker und dann Corvane:

    corvane-tracker-sim --link ~/.config/Corvane/com1 --motion circle &amp;
    corvane

Der Simulator steht dann für den Tracker an COM 1; klicken Sie auf Start, und
der Zeiger folgt einem Kopf, der sich im Kreis bewegt. Die Statuszeile unten
im Fenster von Corvane sagt, was Corvane gerade tut oder was es am Arbeiten
hindert und wie sich das beheben lässt; klicken Sie darauf, um Einzelheiten zu
sehen. Entfernen Sie ~/.config/Corvane/com1, wenn der echte Tracker
angeschlossen ist.

Wayland, Spiele und die Eingabegeräte des Kernels

Corvane bewegt den Zeiger und sendet Tasten über das uinput-Gerät des Kernels:
Es erzeugt eine virtuelle Maus (&quot;Corvane virtual pointer&quot;) und eine virtuelle
Tastatur (&quot;Corvane virtual keyboard&quot;), die jede Arbeitsumgebung, jedes
Programm und jedes Spiel wie echte liest. Dafür ist Schreibzugriff auf
/dev/uinput nötig, den das Paket gibt (siehe oben). Fehlt er trotzdem (auf
einem Computer, auf dem udev bei der Installation des Pakets nicht lief),
führen Sie aus:

    sudo modprobe uinput &amp;&amp; sudo udevadm trigger --action=add --subsystem-match=misc --sysname-match=uinput

Wenn Sie Corvane selbst bauen, schreiben Sie zuerst diese Zeile in die Datei
/etc/udev/rules.d/70-corvane-uinput.rules (eine Zeile, genau so, wie sie hier
steht; auch &quot;corvane --help&quot; zeigt sie), führen Sie &quot;sudo udevadm control
--reload&quot; aus und dann den Befehl oben:

KERNEL==&quot;uinput&quot;,SUBSYSTEM==&quot;misc&quot;,TAG+=&quot;uaccess&quot;,OPTIONS+=&quot;static_node=uinput&quot;

Ohne diesen Zugriff verwendet Corvane in einer X11-Sitzung oder unter XWayland
die Testerweiterung des X-Servers und erreicht dann nur X11-Programme.
Funktioniert keiner der beiden Wege, sagt die Statuszeile das, mit der
Abhilfe.

In einer X11-Sitzung verwendet Corvane weiterhin den X-Server, auch wenn es
uinput verwenden könnte, weil der X-Server den Zeiger genau so weit bewegt,
wie das Profil es angibt, während die Arbeitsumgebung die virtuelle Maus wie
jede Maus behandelt: Ihre Zeigerbeschleunigung macht kleine Bewegungen kleiner
und schnelle größer. Um dennoch über uinput zu senden (für ein Spiel, das
/dev/input liest), starten Sie Corvane mit --output uinput. Um über uinput
genau die Bewegung zu erhalten, die die Geschwindigkeiten des Profils
beschreiben, schalten Sie die Zeigerbeschleunigung aus: Wählen Sie in den
Mauseinstellungen Ihrer Arbeitsumgebung das Beschleunigungsprofil &quot;flach&quot;
(GNOME: Einstellungen, Maus und Tastfeld, Mausbeschleunigung aus; KDE:
Systemeinstellungen, Maus, Beschleunigungsprofil Keines).

Die globalen Tasten Start und Stopp und die Aufzeichnung von Zuordnungen
beobachten die Tastatur über die Ereignisgeräte des Kernels, wenn Corvane sie
lesen darf, sodass sie funktionieren, gleich welches Programm den Fokus hat.
Dafür ist die Mitgliedschaft in der Gruppe &quot;input&quot; nötig:

    sudo usermod -aG input $USER

Melden Sie sich danach ab und wieder an. Beachten Sie, dass dann jedes
Programm, das Sie ausführen, jede Taste lesen kann, die Sie tippen, Passwörter
eingeschlossen; Corvane liest die Tastaturen nur, hält sie nie für sich fest
und speichert oder schreibt nie eine Taste. Ohne diesen Zugriff beobachtet
Corvane die Tastatur über den X-Server und sieht dann nur die Tasten, die
getippt werden, während ein X11-Programm den Fokus hat (in einer
Wayland-Sitzung keine, die in ein natives Wayland-Programm getippt werden).

&quot;corvane --help&quot; sagt, welche Wege Corvane jetzt verwenden würde und warum;
mit --output uinput|x11 und --keys evdev|x11 wählen Sie sie selbst, und eine
Wahl, die nicht funktionieren kann, beendet den Start mit einer Meldung.

Aus dem Quellcode bauen

Um das Paket selbst zu erstellen, führen Sie im Ordner des Quellcodes aus

    bash scripts/package.sh

und installieren Sie build/corvane_1.2.0_amd64.deb wie oben. So bauen und
starten Sie Corvane, ohne es zu installieren:

1. Legen Sie den Quellcode in einen Ordner Ihrer Wahl.

2. Öffnen Sie in diesem Ordner ein Terminal und führen Sie aus

       bash scripts/install-deps.sh
       cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
       cmake --build build

   Unter Debian 12 installiert der erste Befehl die Pakete, die der Bau
   braucht; die anderen beiden bauen das Programm in den Ordner build/bin.

3. Schließen Sie den Tracker an (siehe &quot;Den Tracker anschließen&quot; unten) und
   starten Sie Corvane mit

       build/bin/corvane

   Mit demselben Befehl starten Sie es später wieder.

Um einen Bau ohne Tracker auszuprobieren, führen Sie stattdessen
scripts/run.sh aus: Es baut das Programm und startet eine Kopie davon in
build/run zusammen mit einem simulierten Tracker, dessen Kopf sich im Kreis
bewegt. Diese Kopie verwendet Ihre seriellen Anschlüsse nicht und hat ihre
eigenen Einstellungen.

Die Einstellungsdateien

Corvane speichert seine Einstellungen in zwei einfachen Textdateien in seinem
Einstellungsordner:

    Profiles1.2.dat       jedes Profil mit seinen Einstellungen
    LastProfile1.2.dat    der Name des zuletzt gewählten Profils

Der Einstellungsordner ist der Ordner der ausführbaren Datei des Programms,
wenn Sie dort schreiben dürfen (ein Bauordner oder eine Kopie von Corvane in
Ihrem eigenen Ordner), sodass Dateien, die Sie neben das Programm kopieren,
unverändert verwendet werden. Andernfalls, etwa wenn Corvane in /usr/bin oder
in einem anderen Systemordner installiert ist (/usr, /opt und ähnliche, selbst
wenn der Administrator es ausführt), ist es Ihr Konfigurationsordner,
normalerweise ~/.config/Corvane, den Corvane anlegt, wenn es zum ersten Mal
dorthin schreibt. Beide Ordner enthalten dieselben Dateien in derselben Form.
Um zu sehen, welcher Ordner verwendet wird, führen Sie

    corvane --help

in einem Terminal aus: Es nennt den Einstellungsordner und warum er gewählt
wurde. Lässt sich eine Datei dort nicht schreiben (etwa weil der Datenträger
voll ist), sagt Corvane, warum, nennt den Ordner und lässt Ihre Datei genau
so, wie sie war. Es schreibt nur eine gewöhnliche Datei oder eine Verknüpfung
auf eine solche, die die Einstellungen von Corvane genau so enthält, wie
Corvane sie schreibt (wie ein Dotfile-Manager sie verwaltet); eine Verknüpfung
auf jede andere Datei, selbst auf eine beschädigte Profildatei, oder ein
Ordner, ein Gerät oder eine Pipe an der Stelle einer Datei wird mit einer
Meldung abgewiesen, die die Verknüpfung und ihr Ziel nennt, und diese Datei
bleibt, wie sie war.

Corvane läuft nur einmal pro Einstellungsordner, da zwei Instanzen gegenseitig
ihre Profile überschreiben würden. Starten Sie es erneut, während es läuft,
kommt das Fenster des laufenden Corvane nach vorn, und sonst geschieht nichts.
Eine Sperre, die ein beendetes Corvane hinterlassen hat (ein Absturz, ein
Stromausfall), übernimmt der nächste Start. Meldet Corvane, dass es schon
läuft, zeigt aber kein Fenster, hält der genannte Prozess den
Einstellungsordner: Beenden Sie ihn und starten Sie Corvane erneut.

Liegen Ihre Profile neben einer Kopie von Corvane in einem Ordner, in den Sie
nicht schreiben dürfen, kopiert der erste Start, der Ihren
Konfigurationsordner verwendet, sie und die comN-Einträge dorthin und meldet
das einmal; der alte Ordner bleibt, wie er war. Da ein anderer Benutzer diesen
Ordner angelegt haben kann, kopiert es eine Profildatei nur, wenn sie eine
gewöhnliche Datei von Ihnen (oder vom Administrator) ist, die die
Einstellungen von Corvane genau so enthält, wie Corvane sie schreibt, und
einen comN-Eintrag nur, wenn er eine solche Verknüpfung auf ein serielles
Gerät ist; es kopiert nichts, wenn die Profildatei diese Bedingungen nicht
erfüllt. Was es zurücklässt, nennt es.

Beim ersten Start legt Corvane die drei Standardprofile &quot;Default Flight
Simulator&quot;, &quot;Default Euler Angle&quot; und &quot;Default Mouse Emulation&quot; an und
schreibt beide Dateien.

Wenn Corvane seine Profildateien beschädigt vorfindet: Enthält Profiles1.2.dat
nichts, was Corvane als vollständiges Profil lesen kann, oder fehlt darin das
zuletzt verwendete Profil (genannt in LastProfile1.2.dat), zeigt Corvane ein
Meldungsfenster, bevor es etwas ändert. Das Fenster sagt, was es in jeder
Datei gefunden hat, mit den vollständigen Pfaden der Dateien. Drücken Sie die
Eingabetaste (Beiseitelegen und starten), um beide Dateien mit unverändertem
Inhalt in Namen umzubenennen, die auf &quot;.kept-&quot; und Datum und Uhrzeit enden,
und mit den drei Standardprofilen zu starten, wie beim ersten Start. Ist die
Profildatei vollständig und fehlt darin nur das zuletzt verwendete Profil,
wird nur LastProfile1.2.dat umbenannt, und Corvane startet mit &quot;Default Mouse
Emulation&quot; aus der Datei. Endet die Profildatei mitten in einem Profil (ein
abgebrochenes Speichern), nennt das Fenster dieses Profil: Kopie behalten und
starten kopiert die Datei unverändert unter einen Namen, der auf &quot;.kept-&quot; und
Datum und Uhrzeit endet, schreibt sie nur mit den vollständigen Profilen neu
und startet mit ihnen. Oder wählen Sie Beenden, um Corvane zu schließen und
beide Dateien genau so zu lassen, wie sie sind, etwa um sie von Hand zu
reparieren. Nichts, was Sie geschrieben haben, wird gelöscht: Um Ihre alten
Profile zurückzubekommen, beenden Sie Corvane und benennen Sie die
aufbewahrten Dateien wieder in ihre ursprünglichen Namen um. Eine Profildatei
mit mehr als 10.000 Einträgen gilt ebenfalls als beschädigt, daher speichert
Corvane nie mehr als 10.000 Profile: &quot;Speich. als&quot; meldet das stattdessen.

Den Tracker anschließen

Corvane nennt die seriellen Anschlüsse COM 1 bis COM 4. Unter Linux findet es
das Gerät hinter COM n so:

  - Enthält der Einstellungsordner (siehe &quot;Die Einstellungsdateien&quot; oben)
    Einträge namens comN (com1, com2, com3 oder com4), legen allein diese die
    Anschlüsse fest: COM n ist der Eintrag comN, und ein COM n ohne Eintrag
    lässt sich nicht öffnen. Normalerweise ist ein Eintrag eine symbolische
    Verknüpfung auf das serielle Gerät, angelegt zum Beispiel mit

        ln -s /dev/ttyUSB0 com3

  - Andernfalls ist COM n der n-te serielle Anschluss, den das System
    auflistet: zuerst USB-Seriell-Adapter (ttyACM, ttyUSB), dann eingebaute
    Anschlüsse (ttyS), die sich öffnen lassen, auch wenn nichts an ihnen
    angeschlossen ist. Ein USB-Adapter ist also COM 1, wenn er der einzige
    ist. Gibt es mehrere, legen Sie comN-Verknüpfungen an, damit Sie wissen,
    welcher Anschluss welcher ist.

  - Für Geräte, die das System nicht auflistet, etwa Pseudoterminals, starten
    Sie Corvane mit CORVANE_SERIAL_PORTS, gesetzt auf ihre Pfade, getrennt
    durch Doppelpunkte: Sie treten dann an die Stelle der Liste des Systems.

Wird der Adapter des Trackers abgezogen und wieder eingesteckt, findet Corvane
ihn von selbst wieder. Ein serieller Anschluss wird immer nur von einem
Programm verwendet: Hält ein anderes Programm ihn, nennt der Tooltip der Liste
&quot;Anschluss&quot; dieses Programm (und seine Sperrdatei); beenden Sie es oder wählen
Sie einen anderen Anschluss.

Sie brauchen die Berechtigung, das serielle Gerät zu verwenden. Unter Debian
gehören die seriellen Geräte der Gruppe &quot;dialout&quot;; fügen Sie sich ihr hinzu
mit

    sudo adduser $USER dialout

Melden Sie sich danach ab und wieder an, damit die Änderung wirkt.
</translation>
    </message>
</context>
</TS>
