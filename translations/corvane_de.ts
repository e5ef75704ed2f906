<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>corvane::AppContext</name>
    <message>
        <source>the folder at this path is no longer the one Corvane started on (it was moved or replaced), so nothing was written; start Corvane again</source>
        <translation>der Ordner unter diesem Pfad ist nicht mehr der, mit dem Corvane gestartet ist (er wurde verschoben oder ersetzt), daher wurde nichts geschrieben; starten Sie Corvane neu</translation>
    </message>
</context>
<context>
    <name>corvane::Autostart</name>
    <message>
        <source>%1 is not Corvane&apos;s entry, so it was left as it is</source>
        <translation>%1 ist nicht der Eintrag von Corvane und blieb daher unverändert</translation>
    </message>
    <message>
        <source>the folder %1 cannot be made</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>corvane::Choices</name>
    <message>
        <source>Ambrel</source>
        <translation>Ambrel</translation>
    </message>
    <message>
        <source>Mouse Emulation</source>
        <translation>Mausemulation</translation>
    </message>
    <message>
        <source>Euler Angle</source>
        <translation>Eulerwinkel</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Mouse Event</source>
        <translation>Mausereignis</translation>
    </message>
    <message>
        <source>Joystick</source>
        <translation>Joystick</translation>
    </message>
    <message>
        <source>Send Keys</source>
        <translation>Tasten senden</translation>
    </message>
    <message>
        <source>Emulate Keys</source>
        <translation>Tasten emulieren</translation>
    </message>
    <message>
        <source>Keyboard Event</source>
        <translation>Tastaturereignis</translation>
    </message>
    <message>
        <source>COM 1</source>
        <translation>COM 1</translation>
    </message>
    <message>
        <source>COM 2</source>
        <translation>COM 2</translation>
    </message>
    <message>
        <source>COM 3</source>
        <translation>COM 3</translation>
    </message>
    <message>
        <source>COM 4</source>
        <translation>COM 4</translation>
    </message>
    <message>
        <source>19200 Kbps</source>
        <translation>19200 kbit/s</translation>
    </message>
    <message>
        <source>9600 Kbps</source>
        <translation>9600 kbit/s</translation>
    </message>
    <message>
        <source>4800 Kbps</source>
        <translation>4800 kbit/s</translation>
    </message>
    <message>
        <source>2400 Kbps</source>
        <translation>2400 kbit/s</translation>
    </message>
    <message>
        <source>1200 Kbps</source>
        <translation>1200 kbit/s</translation>
    </message>
</context>
<context>
    <name>corvane::Fault</name>
    <message>
        <source>Invalid procedure call or argument</source>
        <translation>Ungültiger Prozeduraufruf oder ungültiges Argument</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Überlauf</translation>
    </message>
    <message>
        <source>Subscript out of range</source>
        <translation>Index außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Typen unverträglich</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Nicht genügend Speicher</translation>
    </message>
    <message>
        <source>Unexpected internal failure</source>
        <translation>Unerwarteter interner Fehler</translation>
    </message>
    <message>
        <source>fault %1</source>
        <translation>Fehler %1</translation>
    </message>
    <message>
        <source>Corvane has encountered the following error:</source>
        <translation>In Corvane ist folgender Fehler aufgetreten:</translation>
    </message>
</context>
<context>
    <name>corvane::KeyNames</name>
    <message>
        <source>LBUTTON</source>
        <translation>LMAUS</translation>
    </message>
    <message>
        <source>RBUTTON</source>
        <translation>RMAUS</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>ABBRUCH</translation>
    </message>
    <message>
        <source>MBUTTON</source>
        <translation>MMAUS</translation>
    </message>
    <message>
        <source>XBUTTON1</source>
        <translation>XMAUS1</translation>
    </message>
    <message>
        <source>XBUTTON2</source>
        <translation>XMAUS2</translation>
    </message>
    <message>
        <source>BACK</source>
        <translation>RÜCK</translation>
    </message>
    <message>
        <source>TAB</source>
        <translation>TAB</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>LEEREN</translation>
    </message>
    <message>
        <source>RETURN</source>
        <translation>EINGABE</translation>
    </message>
    <message>
        <source>CAPITOL</source>
        <translation>CAPITOL</translation>
    </message>
    <message>
        <source>KANA</source>
        <translation>KANA</translation>
    </message>
    <message>
        <source>SHIFT</source>
        <translation>UMSCHALT</translation>
    </message>
    <message>
        <source>CONTRAL</source>
        <translation>STRG</translation>
    </message>
    <message>
        <source>ALT</source>
        <translation>ALT</translation>
    </message>
    <message>
        <source>PAUSE</source>
        <translation>PAUSE</translation>
    </message>
    <message>
        <source>CAPSLOCK</source>
        <translation>FESTSTELL</translation>
    </message>
    <message>
        <source>ESC</source>
        <translation>ESC</translation>
    </message>
    <message>
        <source>SPACE</source>
        <translation>LEER</translation>
    </message>
    <message>
        <source>PAGEUP</source>
        <translation>BILDAUF</translation>
    </message>
    <message>
        <source>PAGEDOWN</source>
        <translation>BILDAB</translation>
    </message>
    <message>
        <source>END</source>
        <translation>ENDE</translation>
    </message>
    <message>
        <source>HOME</source>
        <translation>POS1</translation>
    </message>
    <message>
        <source>LEFT</source>
        <translation>LINKS</translation>
    </message>
    <message>
        <source>UP</source>
        <translation>HOCH</translation>
    </message>
    <message>
        <source>RIGHT</source>
        <translation>RECHTS</translation>
    </message>
    <message>
        <source>DOWN</source>
        <translation>RUNTER</translation>
    </message>
    <message>
        <source>SELECT</source>
        <translation>AUSWAHL</translation>
    </message>
    <message>
        <source>PRINT</source>
        <translation>DRUCKEN</translation>
    </message>
    <message>
        <source>EXECUTE</source>
        <translation>AUSFÜHREN</translation>
    </message>
    <message>
        <source>SNAPSHOT</source>
        <translation>DRUCK</translation>
    </message>
    <message>
        <source>INSERT</source>
        <translation>EINFG</translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation>ENTF</translation>
    </message>
    <message>
        <source>HELP</source>
        <translation>HILFE</translation>
    </message>
    <message>
        <source>LWIN</source>
        <translation>LWIN</translation>
    </message>
    <message>
        <source>RWIN</source>
        <translation>RWIN</translation>
    </message>
    <message>
        <source>APPS</source>
        <translation>MENÜ</translation>
    </message>
    <message>
        <source>SLEEP</source>
        <translation>RUHE</translation>
    </message>
    <message>
        <source>PAD*</source>
        <translation>PAD*</translation>
    </message>
    <message>
        <source>PAD+</source>
        <translation>PAD+</translation>
    </message>
    <message>
        <source>PADENTER</source>
        <translation>PADEINGABE</translation>
    </message>
    <message>
        <source>PAD-</source>
        <translation>PAD-</translation>
    </message>
    <message>
        <source>PAD.</source>
        <translation>PAD.</translation>
    </message>
    <message>
        <source>PAD/</source>
        <translation>PAD/</translation>
    </message>
    <message>
        <source>NUMLOCK</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>SCRLOCK</source>
        <translation>ROLLEN</translation>
    </message>
    <message>
        <source>LSHIFT</source>
        <translation>LUMSCHALT</translation>
    </message>
    <message>
        <source>RSHIFT</source>
        <translation>RUMSCHALT</translation>
    </message>
    <message>
        <source>LCTRL</source>
        <translation>LSTRG</translation>
    </message>
    <message>
        <source>RCTRL</source>
        <translation>RSTRG</translation>
    </message>
    <message>
        <source>LALT</source>
        <translation>LALT</translation>
    </message>
    <message>
        <source>RALT</source>
        <translation>ALTGR</translation>
    </message>
</context>
<context>
    <name>corvane::PickList</name>
    <message>
        <source>Invalid property value: &quot;%1&quot; is not an entry of %2</source>
        <translation>Ungültiger Eigenschaftswert: „%1“ ist kein Eintrag von %2</translation>
    </message>
</context>
<context>
    <name>corvane::ProfileCommands</name>
    <message>
        <source>Corvane was unable to find a free file number!</source>
        <translation>Corvane konnte keine freie Dateinummer finden!</translation>
    </message>
    <message>
        <source>Corvane File Number Error</source>
        <translation>Corvane – Fehler bei der Dateinummer</translation>
    </message>
    <message>
        <source>This will update the settings file - any changes you made to this profile will be permenant.</source>
        <translation>Dies aktualisiert die Einstellungsdatei – Ihre Änderungen an diesem Profil werden dauerhaft.</translation>
    </message>
    <message>
        <source>Do you want to save?</source>
        <translation>Möchten Sie speichern?</translation>
    </message>
    <message>
        <source>Corvane Save Confirmation</source>
        <translation>Corvane – Speichern bestätigen</translation>
    </message>
    <message>
        <source>This will reload the settings file - any changes you made to this profile will be lost.</source>
        <translation>Dies lädt die Einstellungsdatei neu – Ihre Änderungen an diesem Profil gehen verloren.</translation>
    </message>
    <message>
        <source>Do you want to cancel?</source>
        <translation>Möchten Sie abbrechen?</translation>
    </message>
    <message>
        <source>Corvane Cancel Confirmation</source>
        <translation>Corvane – Abbrechen bestätigen</translation>
    </message>
    <message>
        <source>This will update the settings file - a new profile will be created with any changes have you made.</source>
        <translation>Dies aktualisiert die Einstellungsdatei – mit Ihren Änderungen wird ein neues Profil angelegt.</translation>
    </message>
    <message>
        <source>Please enter the name of the new profile.</source>
        <translation>Bitte geben Sie den Namen des neuen Profils ein.</translation>
    </message>
    <message>
        <source>Corvane Save As</source>
        <translation>Corvane – Speichern unter</translation>
    </message>
    <message>
        <source>The profile name &quot;%1&quot; cannot be saved: a name may not contain a double quote or a line break, and every character must be one of the Western European (Latin-1) set.</source>
        <translation>Der Profilname „%1“ kann nicht gespeichert werden: Ein Name darf kein doppeltes Anführungszeichen und keinen Zeilenumbruch enthalten, und jedes Zeichen muss zum westeuropäischen Zeichensatz (Latin-1) gehören.</translation>
    </message>
    <message>
        <source>Nothing was saved. Please choose another name.</source>
        <translation>Es wurde nichts gespeichert. Bitte wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>There is already a profile with this name - any changes you made to this profile will be permenant.</source>
        <translation>Es gibt bereits ein Profil mit diesem Namen – Ihre Änderungen an diesem Profil werden dauerhaft.</translation>
    </message>
    <message>
        <source>Corvane Save As Confirmation</source>
        <translation>Corvane – Speichern unter bestätigen</translation>
    </message>
    <message>
        <source>This will update the settings file - this profile will be permenantly removed from the file.</source>
        <translation>Dies aktualisiert die Einstellungsdatei – dieses Profil wird dauerhaft aus der Datei entfernt.</translation>
    </message>
    <message>
        <source>Do you want to delete?</source>
        <translation>Möchten Sie löschen?</translation>
    </message>
    <message>
        <source>Corvane Delete Confirmation</source>
        <translation>Corvane – Löschen bestätigen</translation>
    </message>
    <message>
        <source>This will restore the default profile to its original settings.</source>
        <translation>Dies setzt das Standardprofil auf seine ursprünglichen Einstellungen zurück.</translation>
    </message>
</context>
<context>
    <name>corvane::ProfileFile</name>
    <message>
        <source>Path/File access error: cannot write %1 in the settings folder &quot;%2&quot; (%3)</source>
        <translation>Fehler beim Pfad-/Dateizugriff: %1 kann im Einstellungsordner „%2“ nicht geschrieben werden (%3)</translation>
    </message>
    <message>
        <source>the profile &quot;%1&quot; holds a text with a double quote, a line break or a character outside the Western European (Latin-1) set</source>
        <translation>das Profil „%1“ enthält einen Text mit einem doppelten Anführungszeichen, einem Zeilenumbruch oder einem Zeichen außerhalb des westeuropäischen Zeichensatzes (Latin-1)</translation>
    </message>
    <message>
        <source>it would hold %1 profiles, and Corvane reads no more than %2: delete a profile to make room</source>
        <translation>sie enthielte %1 Profile, Corvane liest aber höchstens %2: Löschen Sie ein Profil, um Platz zu schaffen</translation>
    </message>
    <message>
        <source>it would be larger than the %1 MiB that Corvane reads</source>
        <translation>sie wäre größer als die %1 MiB, die Corvane liest</translation>
    </message>
    <message>
        <source>; nothing was written</source>
        <translation>; es wurde nichts geschrieben</translation>
    </message>
    <message>
        <source>the name &quot;%1&quot; holds a double quote, a line break or a character outside Latin-1; nothing was written</source>
        <translation>der Name „%1“ enthält ein doppeltes Anführungszeichen, einen Zeilenumbruch oder ein Zeichen außerhalb von Latin-1; es wurde nichts geschrieben</translation>
    </message>
    <message>
        <source>the folder cannot be created</source>
        <translation>der Ordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>sie kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Path/File access error: cannot rename &quot;%1&quot; to &quot;%2&quot;</source>
        <translation>Fehler beim Pfad-/Dateizugriff: „%1“ kann nicht in „%2“ umbenannt werden</translation>
    </message>
</context>
<context>
    <name>corvane::ProgramEntry</name>
    <message>
        <source>Corvane is already running on the settings folder %1%2</source>
        <translation>Corvane läuft bereits mit dem Einstellungsordner %1%2</translation>
    </message>
    <message>
        <source> (process %1)</source>
        <translation> (Prozess %1)</translation>
    </message>
    <message>
        <source>, but its window could not be brought to the front (it may be starting or not responding). Only one Corvane at a time may use a settings folder, as two would overwrite each other&apos;s profiles and compete for the tracker, so this one ends. The lock file %1 is held while that process runs: if it does not respond, end it and start Corvane again.</source>
        <translation>, aber sein Fenster ließ sich nicht in den Vordergrund holen (es startet vielleicht gerade oder reagiert nicht). Ein Einstellungsordner kann jeweils nur von einem Corvane genutzt werden, da zwei gegenseitig ihre Profile überschreiben und um den Tracker konkurrieren würden; dieses wird daher beendet. Die Sperrdatei %1 bleibt belegt, solange jener Prozess läuft: Reagiert er nicht, beenden Sie ihn und starten Sie Corvane neu.</translation>
    </message>
    <message>
        <source>Corvane cannot lock the settings folder %1: %2</source>
        <translation>Corvane kann den Einstellungsordner %1 nicht sperren: %2</translation>
    </message>
</context>
<context>
    <name>corvane::SettingsFolder</name>
    <message>
        <source>Settings folder: %1 (the program&apos;s folder, which you may write)</source>
        <translation>Einstellungsordner: %1 (der Ordner des Programms, in den Sie schreiben dürfen)</translation>
    </message>
    <message>
        <source>Settings folder: %1 (your configuration folder, as the program is installed in a system folder)</source>
        <translation>Einstellungsordner: %1 (Ihr Konfigurationsordner, da das Programm in einem Systemordner installiert ist)</translation>
    </message>
    <message>
        <source>Settings folder: %1 (your configuration folder, as you may not write the program&apos;s folder)</source>
        <translation>Einstellungsordner: %1 (Ihr Konfigurationsordner, da Sie in den Ordner des Programms nicht schreiben dürfen)</translation>
    </message>
    <message>
        <source>Path/File access error: cannot copy &quot;%1&quot; to &quot;%2&quot; (%3)</source>
        <translation>Fehler beim Pfad-/Dateizugriff: „%1“ kann nicht nach „%2“ kopiert werden (%3)</translation>
    </message>
    <message>
        <source>it does not hold Corvane&apos;s settings as Corvane writes them</source>
        <translation>sie enthält keine Einstellungen von Corvane, wie Corvane sie schreibt</translation>
    </message>
    <message>
        <source>Path/File access error: cannot create the settings folder &quot;%1&quot;</source>
        <translation>Fehler beim Pfad-/Dateizugriff: Der Einstellungsordner „%1“ kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>the link cannot be made</source>
        <translation>die Verknüpfung kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>corvane::StartUpBoxes</name>
    <message>
        <source>%1 byte</source>
        <translation>%1 Byte</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>%1 complete profile</source>
        <translation>%1 vollständiges Profil</translation>
    </message>
    <message>
        <source>%1 complete profiles</source>
        <translation>%1 vollständige Profile</translation>
    </message>
    <message>
        <source>Corvane Start-up</source>
        <translation>Corvane – Start</translation>
    </message>
    <message>
        <source>Keep Aside and Start</source>
        <translation>Beiseitelegen und starten</translation>
    </message>
    <message>
        <source>Keep a Copy and Start</source>
        <translation>Kopie behalten und starten</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>It is %1, not a file, so Corvane cannot read it.</source>
        <translation>Sie ist %1, keine Datei, daher kann Corvane sie nicht lesen.</translation>
    </message>
    <message>
        <source>It does not exist, so Corvane would create the default profiles.</source>
        <translation>Sie existiert nicht, daher würde Corvane die Standardprofile anlegen.</translation>
    </message>
    <message>
        <source>It is empty, so Corvane would create the default profiles.</source>
        <translation>Sie ist leer, daher würde Corvane die Standardprofile anlegen.</translation>
    </message>
    <message>
        <source>It holds %1 but cannot be read.</source>
        <translation>Sie umfasst %1, kann aber nicht gelesen werden.</translation>
    </message>
    <message>
        <source>It holds %1 but no complete profile.</source>
        <translation>Sie umfasst %1, aber kein vollständiges Profil.</translation>
    </message>
    <message>
        <source>It holds %1.</source>
        <translation>Sie enthält %1.</translation>
    </message>
    <message>
        <source>It names the profile &quot;%1&quot;</source>
        <translation>Sie nennt das Profil „%1“</translation>
    </message>
    <message>
        <source>It does not exist, so the profile to start with is &quot;%1&quot;</source>
        <translation>Sie existiert nicht, daher wird mit dem Profil „%1“ gestartet</translation>
    </message>
    <message>
        <source>, which is not one of them.</source>
        <translation>, das nicht darunter ist.</translation>
    </message>
    <message>
        <source> to </source>
        <translation> in </translation>
    </message>
    <message>
        <source>Corvane cannot start with its profiles as they are.</source>
        <translation>Corvane kann mit seinen Profilen in diesem Zustand nicht starten.</translation>
    </message>
    <message>
        <source>Profiles file: </source>
        <translation>Profildatei: </translation>
    </message>
    <message>
        <source>Last-profile file: </source>
        <translation>Datei des letzten Profils: </translation>
    </message>
    <message>
        <source>: Corvane renames, leaving their contents as they are,</source>
        <translation>: Corvane benennt um und lässt die Inhalte unverändert:</translation>
    </message>
    <message>
        <source>and starts with the profile &quot;%1&quot; of the profiles file.</source>
        <translation>und startet mit dem Profil „%1“ der Profildatei.</translation>
    </message>
    <message>
        <source>and starts with the default profiles, as on a first start.</source>
        <translation>und startet mit den Standardprofilen, wie beim ersten Start.</translation>
    </message>
    <message>
        <source>: Corvane ends and changes no file.</source>
        <translation>: Corvane wird beendet und ändert keine Datei.</translation>
    </message>
    <message>
        <source>It holds %1, then the profile &quot;%2&quot; cut short: the file ends in the middle of it.</source>
        <translation>Sie enthält %1, danach das abgeschnittene Profil „%2“: Die Datei endet mitten darin.</translation>
    </message>
    <message>
        <source>: Corvane copies the file as it is to </source>
        <translation>: Corvane kopiert die Datei unverändert nach </translation>
    </message>
    <message>
        <source>, writes it again with the complete profiles only and starts with them.</source>
        <translation>, schreibt sie nur mit den vollständigen Profilen neu und startet mit diesen.</translation>
    </message>
    <message>
        <source>Corvane may not write its own folder, %1, so it keeps its settings in %2 from now on.</source>
        <translation>Corvane darf nicht in seinen eigenen Ordner %1 schreiben und speichert seine Einstellungen daher ab jetzt in %2.</translation>
    </message>
    <message>
        <source>It has copied %1 there from %2, which stays as it was.</source>
        <translation>Es hat %1 aus %2 dorthin kopiert, der unverändert bleibt.</translation>
    </message>
    <message>
        <source>It has not copied these from %1, which could have been put there by another user or are not Corvane&apos;s own:</source>
        <translation>Folgendes aus %1 wurde nicht kopiert, da es von einem anderen Benutzer stammen könnte oder nicht zu Corvane gehört:</translation>
    </message>
</context>
<context>
    <name>corvane::StatusDetails</name>
    <message>
        <source>Corvane Status</source>
        <translation>Corvane – Status</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>corvane::StatusLine</name>
    <message>
        <source>%1 bps</source>
        <translation>%1 Bit/s</translation>
    </message>
    <message>
        <source>COM %1</source>
        <translation>COM %1</translation>
    </message>
    <message>
        <source>COM %1 (%2)</source>
        <translation>COM %1 (%2)</translation>
    </message>
    <message>
        <source>Searching for the tracker…</source>
        <translation>Suche nach dem Tracker …</translation>
    </message>
    <message>
        <source>Searching for the tracker: COM %1 at %2…</source>
        <translation>Suche nach dem Tracker: COM %1 mit %2 …</translation>
    </message>
    <message>
        <source>the kernel&apos;s input devices</source>
        <translation>die Eingabegeräte des Kernels</translation>
    </message>
    <message>
        <source>the X server</source>
        <translation>den X-Server</translation>
    </message>
    <message>
        <source>; then </source>
        <translation>; dann </translation>
    </message>
    <message>
        <source>The pointer cannot be moved: </source>
        <translation>Der Mauszeiger kann nicht bewegt werden: </translation>
    </message>
    <message>
        <source>The pointer cannot be moved: run </source>
        <translation>Der Mauszeiger kann nicht bewegt werden: Führen Sie aus: </translation>
    </message>
    <message>
        <source>The joystick cannot be made: </source>
        <translation>Der Joystick kann nicht angelegt werden: </translation>
    </message>
    <message>
        <source>The joystick needs write access to /dev/uinput: run </source>
        <translation>Der Joystick braucht Schreibzugriff auf /dev/uinput: Führen Sie aus: </translation>
    </message>
    <message>
        <source>Keys typed in other programs are not seen: the global keys and recording from other programs need the input group (%1, then log in again), which lets every program of yours read every key typed.</source>
        <translation>Tasten, die in anderen Programmen gedrückt werden, bleiben unbemerkt: Die globalen Tasten und die Aufnahme aus anderen Programmen brauchen die Gruppe „input“ (%1, dann neu anmelden), womit jedes Ihrer Programme jede gedrückte Taste lesen kann.</translation>
    </message>
    <message>
        <source>The tracker was lost (%1). %2</source>
        <translation>Der Tracker ist verloren gegangen (%1). %2</translation>
    </message>
    <message>
        <source>%1 is open at %2, but no tracker answers there; asking again…</source>
        <translation>%1 ist mit %2 geöffnet, aber dort antwortet kein Tracker; erneute Anfrage …</translation>
    </message>
    <message>
        <source>Setting up the tracker on %1 at %2…</source>
        <translation>Tracker an %1 mit %2 wird eingerichtet …</translation>
    </message>
    <message>
        <source>Tracking: the head moves the joystick &quot;Corvane head&quot;; keys through %1</source>
        <translation>Verfolgung: Der Kopf bewegt den Joystick „Corvane head“; Tasten über %1</translation>
    </message>
    <message>
        <source>Tracking: pointer and keys through %1</source>
        <translation>Verfolgung: Mauszeiger und Tasten über %1</translation>
    </message>
    <message>
        <source>Tracker on %1, %2, stopped</source>
        <translation>Tracker an %1, %2, angehalten</translation>
    </message>
    <message>
        <source>Mouse mode &quot;Joystick&quot; makes the joystick &quot;Corvane head&quot; through /dev/uinput, but %1.</source>
        <translation>Der Mausmodus „Joystick“ legt den Joystick „Corvane head“ über /dev/uinput an, aber %1.</translation>
    </message>
    <message>
        <source>The ports and the link:</source>
        <translation>Die Anschlüsse und die Verbindung:</translation>
    </message>
    <message>
        <source>Corvane cannot move the pointer</source>
        <translation>Corvane kann den Mauszeiger nicht bewegen</translation>
    </message>
    <message>
        <source>Tracker lost</source>
        <translation>Tracker verloren</translation>
    </message>
    <message>
        <source>Tracker found again</source>
        <translation>Tracker wiedergefunden</translation>
    </message>
    <message>
        <source>Tracking started</source>
        <translation>Verfolgung gestartet</translation>
    </message>
    <message>
        <source>Tracking stopped</source>
        <translation>Verfolgung angehalten</translation>
    </message>
</context>
<context>
    <name>corvane::StatusStrip</name>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>corvane::TrackerLink</name>
    <message>
        <source>COM %1: no device (%2)</source>
        <translation>COM %1: kein Gerät (%2)</translation>
    </message>
    <message>
        <source>COM %1: %2</source>
        <translation>COM %1: %2</translation>
    </message>
    <message>
        <source>The link is closed.</source>
        <translation>Die Verbindung ist geschlossen.</translation>
    </message>
    <message>
        <source>Searching the ports for the tracker.</source>
        <translation>Die Anschlüsse werden nach dem Tracker durchsucht.</translation>
    </message>
    <message>
        <source>COM %1 is open at %2, waiting for the tracker&apos;s answer.</source>
        <translation>COM %1 ist mit %2 geöffnet und wartet auf die Antwort des Trackers.</translation>
    </message>
    <message>
        <source>The tracker on COM %1 is set up, at %2.</source>
        <translation>Der Tracker an COM %1 ist eingerichtet, mit %2.</translation>
    </message>
    <message>
        <source>COM %1 has closed: %2</source>
        <translation>COM %1 wurde geschlossen: %2</translation>
    </message>
    <message>
        <source>the device has gone</source>
        <translation>das Gerät ist verschwunden</translation>
    </message>
</context>
<context>
    <name>corvane::TrayIcon</name>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Hide Window</source>
        <translation>Fenster ausblenden</translation>
    </message>
    <message>
        <source>Start when I log in</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Corvane</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Show Window</source>
        <translation>Fenster anzeigen</translation>
    </message>
</context>
<context>
    <name>corvane::platform::AccessFix</name>
    <message>
        <source>To give it now, without a restart or a new login, run:</source>
        <translation>Um ihn sofort zu erteilen, ohne Neustart oder neue Anmeldung, führen Sie aus:</translation>
    </message>
    <message>
        <source>The package&apos;s udev rule (%1) gives the user at the seat write access to /dev/uinput, and installing the package applied it where udev ran. </source>
        <translation>Die udev-Regel des Pakets (%1) gibt dem Benutzer am Arbeitsplatz Schreibzugriff auf /dev/uinput, und die Installation des Pakets hat sie angewandt, wo udev lief. </translation>
    </message>
    <message>
        <source>The udev rule 70-corvane-uinput.rules gives the user at the seat write access to /dev/uinput. </source>
        <translation>Die udev-Regel 70-corvane-uinput.rules gibt dem Benutzer am Arbeitsplatz Schreibzugriff auf /dev/uinput. </translation>
    </message>
    <message>
        <source>Built from source, Corvane needs a udev rule that gives the user at the seat write access to /dev/uinput. </source>
        <translation>Aus dem Quelltext gebaut braucht Corvane eine udev-Regel, die dem Benutzer am Arbeitsplatz Schreibzugriff auf /dev/uinput gibt. </translation>
    </message>
    <message>
        <source>Reading the keyboards (the global keys and the recorder in every program) needs membership of the input group. Be aware that every program you run may then read every key you type, passwords included; Corvane only reads them and never keeps or writes a key. To join the group, run:
  %1
then log out and in again: a new group counts from the next login on.</source>
        <translation>Das Lesen der Tastaturen (die globalen Tasten und die Aufnahme in jedem Programm) erfordert die Mitgliedschaft in der Gruppe „input“. Beachten Sie, dass dann jedes Programm, das Sie ausführen, jede Ihrer Tasteneingaben lesen kann, Passwörter eingeschlossen; Corvane liest sie nur und speichert oder schreibt nie eine Taste. Um der Gruppe beizutreten, führen Sie aus:
  %1
und melden Sie sich dann ab und wieder an: Eine neue Gruppe gilt ab der nächsten Anmeldung.</translation>
    </message>
</context>
<context>
    <name>corvane::platform::EvdevKeyState</name>
    <message>
        <source>no keyboard event device in %1 can be read (%2 refused: %3; reading them needs membership of the input group)</source>
        <translation>kein Tastatur-Ereignisgerät in %1 ist lesbar (%2 verweigert: %3; das Lesen erfordert die Mitgliedschaft in der Gruppe „input“)</translation>
    </message>
    <message>
        <source>no keyboard event device was found in %1</source>
        <translation>in %1 wurde kein Tastatur-Ereignisgerät gefunden</translation>
    </message>
</context>
<context>
    <name>corvane::platform::FolderClaim</name>
    <message>
        <source>a link to %1</source>
        <translation>eine Verknüpfung auf %1</translation>
    </message>
    <message>
        <source>something other than a regular file</source>
        <translation>etwas anderes als eine reguläre Datei</translation>
    </message>
    <message>
        <source>a file that belongs to another user (user id %1)</source>
        <translation>eine Datei, die einem anderen Benutzer gehört (Benutzerkennung %1)</translation>
    </message>
    <message>
        <source>a file with %1 names (hard links), so that writing it would change another file</source>
        <translation>eine Datei mit %1 Namen (harte Verknüpfungen), sodass das Schreiben eine andere Datei ändern würde</translation>
    </message>
    <message>
        <source>where its lock file %1 belongs there is %2, which Corvane did not make and does not open. Move it away or remove it, and start Corvane again.</source>
        <translation>wo seine Sperrdatei %1 hingehört, liegt %2, das Corvane nicht angelegt hat und nicht öffnet. Verschieben oder entfernen Sie es und starten Sie Corvane neu.</translation>
    </message>
    <message>
        <source>the folder cannot be created</source>
        <translation>der Ordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>the folder cannot be opened (%1)</source>
        <translation>der Ordner kann nicht geöffnet werden (%1)</translation>
    </message>
    <message>
        <source>the lock file %1 cannot be %2 (%3)</source>
        <translation>die Sperrdatei %1 kann nicht %2 werden (%3)</translation>
    </message>
    <message>
        <source>opened for writing</source>
        <translation>zum Schreiben geöffnet</translation>
    </message>
    <message>
        <source>made</source>
        <translation>angelegt</translation>
    </message>
    <message>
        <source>the lock file %1 cannot be examined (%2)</source>
        <translation>die Sperrdatei %1 kann nicht untersucht werden (%2)</translation>
    </message>
    <message>
        <source>the lock file %1 cannot be locked (%2)</source>
        <translation>die Sperrdatei %1 kann nicht gesperrt werden (%2)</translation>
    </message>
    <message>
        <source>the lock file %1 kept changing while Corvane locked it</source>
        <translation>die Sperrdatei %1 änderte sich ständig, während Corvane sie sperrte</translation>
    </message>
</context>
<context>
    <name>corvane::platform::InputChoice</name>
    <message>
        <source>%1 cannot work: %2</source>
        <translation>%1 kann nicht funktionieren: %2</translation>
    </message>
    <message>
        <source>Corvane cannot move the pointer or send keys. %1 %2 %3
Or start Corvane in an X11 session.</source>
        <translation>Corvane kann weder den Mauszeiger bewegen noch Tasten senden. %1 %2 %3
Oder starten Sie Corvane in einer X11-Sitzung.</translation>
    </message>
    <message>
        <source>chosen with --output uinput</source>
        <translation>gewählt mit --output uinput</translation>
    </message>
    <message>
        <source>chosen with --output x11</source>
        <translation>gewählt mit --output x11</translation>
    </message>
    <message>
        <source>this is an X11 session, where X test events move the pointer exactly as far as the profile says, while the kernel&apos;s input devices go through the desktop&apos;s pointer acceleration (--output uinput reaches games that read /dev/input)</source>
        <translation>dies ist eine X11-Sitzung, in der X-Testereignisse den Mauszeiger genau so weit bewegen, wie das Profil angibt, während die Eingabegeräte des Kernels die Zeigerbeschleunigung der Arbeitsumgebung durchlaufen (--output uinput erreicht Spiele, die /dev/input lesen)</translation>
    </message>
    <message>
        <source>; the X display takes the events, but in this Wayland session only X11 (XWayland) programs see them</source>
        <translation>; die X-Anzeige nimmt die Ereignisse an, aber in dieser Wayland-Sitzung sehen sie nur X11-Programme (XWayland)</translation>
    </message>
    <message>
        <source>chosen with --keys evdev</source>
        <translation>gewählt mit --keys evdev</translation>
    </message>
    <message>
        <source>chosen with --keys x11</source>
        <translation>gewählt mit --keys x11</translation>
    </message>
    <message>
        <source>%1 keyboard event device can be read, so the global keys and the recorder see keys typed into any program</source>
        <translation>%1 Tastatur-Ereignisgerät ist lesbar, daher sehen die globalen Tasten und die Aufnahme Tasten in jedem Programm</translation>
    </message>
    <message>
        <source>%1 keyboard event devices can be read, so the global keys and the recorder see keys typed into any program</source>
        <translation>%1 Tastatur-Ereignisgeräte sind lesbar, daher sehen die globalen Tasten und die Aufnahme Tasten in jedem Programm</translation>
    </message>
    <message>
        <source>; the global keys and the recorder see only keys typed while an X11 program has the focus</source>
        <translation>; die globalen Tasten und die Aufnahme sehen nur Tasten, während ein X11-Programm den Fokus hat</translation>
    </message>
    <message>
        <source>; %1; so the global keys and the recorder see only keys typed while Corvane&apos;s own window has the focus</source>
        <translation>; %1; daher sehen die globalen Tasten und die Aufnahme nur Tasten, während das Fenster von Corvane den Fokus hat</translation>
    </message>
    <message>
        <source>Input, as a start now would choose (--output and --keys change it):
  pointer and keys: %1 (%2)
  key state: %3 (%4)
</source>
        <translation>Eingabe, wie ein Start sie jetzt wählen würde (--output und --keys ändern sie):
  Mauszeiger und Tasten: %1 (%2)
  Tastenzustand: %3 (%4)
</translation>
    </message>
    <message>
        <source>/dev/uinput opens for writing, and this is a Wayland session, whose programs see no X events</source>
        <translation>/dev/uinput lässt sich zum Schreiben öffnen, und dies ist eine Wayland-Sitzung, deren Programme keine X-Ereignisse sehen</translation>
    </message>
    <message>
        <source>/dev/uinput opens for writing</source>
        <translation>/dev/uinput lässt sich zum Schreiben öffnen</translation>
    </message>
</context>
<context>
    <name>corvane::platform::LinuxFiles</name>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <source>your disk quota is used up</source>
        <translation>Ihr Speicherkontingent ist aufgebraucht</translation>
    </message>
    <message>
        <source>the file system is read-only</source>
        <translation>das Dateisystem ist schreibgeschützt</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>the file would be larger than the system allows</source>
        <translation>die Datei wäre größer, als das System erlaubt</translation>
    </message>
    <message>
        <source>it is %1, not %2</source>
        <translation>sie ist %1, nicht %2</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>sie gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>it is %1, not a file</source>
        <translation>sie ist %1, keine Datei</translation>
    </message>
    <message>
        <source>it is a link to %1, which leads nowhere</source>
        <translation>sie ist eine Verknüpfung auf %1, die ins Leere führt</translation>
    </message>
    <message>
        <source>it is a link to %1, %2, not a file</source>
        <translation>sie ist eine Verknüpfung auf %1, %2, keine Datei</translation>
    </message>
    <message>
        <source>it is a link to %1, a file that does not hold Corvane&apos;s settings and is left as it was</source>
        <translation>sie ist eine Verknüpfung auf %1, eine Datei ohne Einstellungen von Corvane, die unverändert bleibt</translation>
    </message>
    <message>
        <source>a file</source>
        <translation>eine Datei</translation>
    </message>
    <message>
        <source>a link</source>
        <translation>eine Verknüpfung</translation>
    </message>
    <message>
        <source>a directory</source>
        <translation>ein Ordner</translation>
    </message>
    <message>
        <source>a named pipe (FIFO)</source>
        <translation>eine benannte Pipe (FIFO)</translation>
    </message>
    <message>
        <source>a character device</source>
        <translation>ein zeichenorientiertes Gerät</translation>
    </message>
    <message>
        <source>a block device</source>
        <translation>ein blockorientiertes Gerät</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>it is a link to %1, which is not followed</source>
        <translation>sie ist eine Verknüpfung auf %1, der nicht gefolgt wird</translation>
    </message>
    <message>
        <source>it is larger than a settings file can be</source>
        <translation>sie ist größer, als eine Einstellungsdatei sein kann</translation>
    </message>
    <message>
        <source>a link to a serial device</source>
        <translation>eine Verknüpfung auf ein serielles Gerät</translation>
    </message>
    <message>
        <source>it is a link to %1, %2, not a serial device</source>
        <translation>sie ist eine Verknüpfung auf %1, %2, kein serielles Gerät</translation>
    </message>
    <message>
        <source>a link to %1, which leads nowhere</source>
        <translation>eine Verknüpfung auf %1, die ins Leere führt</translation>
    </message>
    <message>
        <source>a link to %1, %2</source>
        <translation>eine Verknüpfung auf %1, %2</translation>
    </message>
</context>
<context>
    <name>corvane::platform::LinuxSerialDevice</name>
    <message>
        <source>ask the system&apos;s administrator for access to %1</source>
        <translation>bitten Sie den Systemverwalter um Zugriff auf %1</translation>
    </message>
    <message>
        <source>join the %1 group (sudo adduser $USER %1) and log in again</source>
        <translation>treten Sie der Gruppe %1 bei (sudo adduser $USER %1) und melden Sie sich neu an</translation>
    </message>
</context>
<context>
    <name>corvane::platform::LinuxSerialLine</name>
    <message>
        <source>process %1</source>
        <translation>Prozess %1</translation>
    </message>
    <message>
        <source>process %1 (%2)</source>
        <translation>Prozess %1 (%2)</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>es ist eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>it is %1</source>
        <translation>es ist %1</translation>
    </message>
    <message>
        <source>another program</source>
        <translation>ein anderes Programm</translation>
    </message>
    <message>
        <source> uses it; end that program, or choose another port</source>
        <translation> benutzt ihn; beenden Sie jenes Programm oder wählen Sie einen anderen Anschluss</translation>
    </message>
    <message>
        <source>it is in exclusive mode, left so by a program that has ended (or used by one that takes no lock); start the program that provides this pseudo-terminal again, or choose another port</source>
        <translation>er ist im exklusiven Modus, so hinterlassen von einem beendeten Programm (oder benutzt von einem, das keine Sperre setzt); starten Sie das Programm, das dieses Pseudoterminal bereitstellt, neu oder wählen Sie einen anderen Anschluss</translation>
    </message>
    <message>
        <source>%1 is not a serial port</source>
        <translation>%1 ist kein serieller Anschluss</translation>
    </message>
    <message>
        <source>the speed %1 is not supported</source>
        <translation>die Geschwindigkeit %1 wird nicht unterstützt</translation>
    </message>
    <message>
        <source> has it open</source>
        <translation> hat ihn geöffnet</translation>
    </message>
    <message>
        <source> holds its kernel lock</source>
        <translation> hält seine Kernel-Sperre</translation>
    </message>
    <message>
        <source> and the lock file %1 names it; end that program, or choose another port</source>
        <translation> und die Sperrdatei %1 nennt es; beenden Sie jenes Programm oder wählen Sie einen anderen Anschluss</translation>
    </message>
    <message>
        <source> does not have the device open</source>
        <translation> hat das Gerät nicht geöffnet</translation>
    </message>
    <message>
        <source> holds no kernel lock on the device, and its open files cannot be read</source>
        <translation> hält keine Kernel-Sperre auf das Gerät, und seine offenen Dateien können nicht gelesen werden</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>permission denied; </source>
        <translation>Zugriff verweigert; </translation>
    </message>
</context>
<context>
    <name>corvane::platform::LinuxSerialPort</name>
    <message>
        <source>Invalid line settings &quot;%1&quot;</source>
        <translation>Ungültige Leitungseinstellungen „%1“</translation>
    </message>
    <message>
        <source>the device has gone</source>
        <translation>das Gerät ist verschwunden</translation>
    </message>
    <message>
        <source>Operation valid only when the port is open</source>
        <translation>Vorgang nur bei geöffnetem Anschluss zulässig</translation>
    </message>
    <message>
        <source>Port already open</source>
        <translation>Anschluss bereits geöffnet</translation>
    </message>
    <message>
        <source>COM %1 is not available: %2</source>
        <translation>COM %1 ist nicht verfügbar: %2</translation>
    </message>
    <message>
        <source>COM %1 (%2) cannot be opened: %3</source>
        <translation>COM %1 (%2) kann nicht geöffnet werden: %3</translation>
    </message>
</context>
<context>
    <name>corvane::platform::PortMapping</name>
    <message>
        <source>no entry com%1 in the settings folder</source>
        <translation>kein Eintrag com%1 im Einstellungsordner</translation>
    </message>
    <message>
        <source>%1 leads to no device</source>
        <translation>%1 führt zu keinem Gerät</translation>
    </message>
    <message>
        <source>the system lists %1 serial port(s)</source>
        <translation>das System führt %1 serielle(n) Anschluss/Anschlüsse</translation>
    </message>
    <message>
        <source>no device (%1)</source>
        <translation>kein Gerät (%1)</translation>
    </message>
    <message>
        <source>COM %1 now leads to %2</source>
        <translation>COM %1 führt jetzt zu %2</translation>
    </message>
    <message>
        <source>%1 is no longer listed</source>
        <translation>%1 ist nicht mehr aufgeführt</translation>
    </message>
    <message>
        <source>COM %1 now stands for %2, and %3 never answered</source>
        <translation>COM %1 steht jetzt für %2, und %3 hat nie geantwortet</translation>
    </message>
</context>
<context>
    <name>corvane::platform::UinputOutput</name>
    <message>
        <source>; the uinput module is not loaded</source>
        <translation>; das Modul uinput ist nicht geladen</translation>
    </message>
    <message>
        <source>the kernel refused %1 (%2)</source>
        <translation>der Kernel hat %1 verweigert (%2)</translation>
    </message>
    <message>
        <source>Corvane&apos;s virtual input devices</source>
        <translation>die virtuellen Eingabegeräte von Corvane</translation>
    </message>
    <message>
        <source>the joystick &quot;%1&quot;</source>
        <translation>den Joystick „%1“</translation>
    </message>
    <message>
        <source>/dev/uinput cannot be opened for writing (%1)</source>
        <translation>/dev/uinput lässt sich nicht zum Schreiben öffnen (%1)</translation>
    </message>
</context>
<context>
    <name>corvane::platform::X11Keyboard</name>
    <message>
        <source>Corvane is not running on an X display (platform &quot;%1&quot;), so it cannot send keys.</source>
        <translation>Corvane läuft nicht auf einer X-Anzeige (Plattform „%1“) und kann daher keine Tasten senden.</translation>
    </message>
    <message>
        <source>The X server has no XTEST extension, so Corvane cannot send keys.</source>
        <translation>Der X-Server hat keine XTEST-Erweiterung, daher kann Corvane keine Tasten senden.</translation>
    </message>
    <message>
        <source>Corvane cannot open a second connection to the X display &quot;%1&quot; for the keyboard.</source>
        <translation>Corvane kann keine zweite Verbindung zur X-Anzeige „%1“ für die Tastatur öffnen.</translation>
    </message>
    <message>
        <source>The X server has no XKEYBOARD extension, so Corvane cannot send keys.</source>
        <translation>Der X-Server hat keine XKEYBOARD-Erweiterung, daher kann Corvane keine Tasten senden.</translation>
    </message>
</context>
<context>
    <name>corvane::platform::X11Pointer</name>
    <message>
        <source>Corvane&apos;s window would not be on an X display (QT_QPA_PLATFORM=%1)</source>
        <translation>das Fenster von Corvane wäre nicht auf einer X-Anzeige (QT_QPA_PLATFORM=%1)</translation>
    </message>
    <message>
        <source>Corvane&apos;s window would open on Wayland, not on an X display</source>
        <translation>das Fenster von Corvane würde sich unter Wayland öffnen, nicht auf einer X-Anzeige</translation>
    </message>
    <message>
        <source>no X display can be reached (DISPLAY=&quot;%1&quot;)</source>
        <translation>keine X-Anzeige ist erreichbar (DISPLAY=&quot;%1&quot;)</translation>
    </message>
    <message>
        <source>the X server has no XTEST extension</source>
        <translation>der X-Server hat keine XTEST-Erweiterung</translation>
    </message>
    <message>
        <source>Corvane&apos;s window is not on an X display (platform &quot;%1&quot;), so X test events cannot move the pointer.</source>
        <translation>Das Fenster von Corvane ist nicht auf einer X-Anzeige (Plattform „%1“), daher können X-Testereignisse den Mauszeiger nicht bewegen.</translation>
    </message>
    <message>
        <source>The X server has no XTEST extension, so X test events cannot move the pointer.</source>
        <translation>Der X-Server hat keine XTEST-Erweiterung, daher können X-Testereignisse den Mauszeiger nicht bewegen.</translation>
    </message>
</context>
</TS>
