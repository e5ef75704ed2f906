<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>corvane::HelpForm</name>
    <message>
        <source>Corvane Information</source>
        <translation>Corvane-Informationen</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informationen</translation>
    </message>
</context>
<context>
    <name>corvane::MainForm</name>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <source>Trac&amp;ker</source>
        <translation>T&amp;racker</translation>
    </message>
    <message>
        <source>Mo&amp;use</source>
        <translation>&amp;Maus</translation>
    </message>
    <message>
        <source>Ke&amp;yboard</source>
        <translation>T&amp;astatur</translation>
    </message>
    <message>
        <source>Othe&amp;r</source>
        <translation>So&amp;nstiges</translation>
    </message>
    <message>
        <source>Hide Setti&amp;ngs</source>
        <translation>Ausb&amp;lenden</translation>
    </message>
    <message>
        <source>Show Setti&amp;ngs</source>
        <translation>Einstel&amp;lungen</translation>
    </message>
    <message>
        <source>&amp;Turn Left</source>
        <translation>Dreh lin&amp;ks</translation>
    </message>
    <message>
        <source>Turn R&amp;ight</source>
        <translation>&amp;Dreh rechts</translation>
    </message>
    <message>
        <source>L&amp;ook Up</source>
        <translation>&amp;Blick hoch</translation>
    </message>
    <message>
        <source>LookDo&amp;wn</source>
        <translation>Blick r&amp;unter</translation>
    </message>
    <message>
        <source>&amp;Lean Left</source>
        <translation>Nei&amp;g links</translation>
    </message>
    <message>
        <source>L&amp;ean Right</source>
        <translation>Neig rech&amp;ts</translation>
    </message>
    <message>
        <source>S&amp;tart</source>
        <translation>S&amp;tart</translation>
    </message>
    <message>
        <source>St&amp;op</source>
        <translation>St&amp;opp</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Filters</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Smoothing</source>
        <translation>Glättung</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>Mappings</source>
        <translation>Zuordnungen</translation>
    </message>
    <message>
        <source>Global Keys</source>
        <translation>Globale Tasten</translation>
    </message>
    <message>
        <source>Update Delay</source>
        <translation>Aktualisierung</translation>
    </message>
    <message>
        <source>Output Monitor</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>&amp;Location</source>
        <translation>Anschl&amp;uss</translation>
    </message>
    <message>
        <source>S&amp;peed</source>
        <translation>&amp;Baudrate</translation>
    </message>
    <message>
        <source>&amp;Mode</source>
        <translation>M&amp;odus</translation>
    </message>
    <message>
        <source>Magn&amp;etic</source>
        <translation>Magne&amp;tisch</translation>
    </message>
    <message>
        <source>&amp;Jitter</source>
        <translation>&amp;Zittern</translation>
    </message>
    <message>
        <source>&amp;Tilt</source>
        <translation>Neigun&amp;g</translation>
    </message>
    <message>
        <source>&amp;Left-Right</source>
        <translation>Lin&amp;ks-Rechts</translation>
    </message>
    <message>
        <source>U&amp;p-Down</source>
        <translation>A&amp;uf-Ab</translation>
    </message>
    <message>
        <source>S&amp;ide-Side</source>
        <translation>Seit&amp;wärts</translation>
    </message>
    <message>
        <source>Lef&amp;t-Right</source>
        <translation>Links-Rech&amp;ts</translation>
    </message>
    <message>
        <source>Up-D&amp;own</source>
        <translation>Auf-A&amp;b</translation>
    </message>
    <message>
        <source>Sid&amp;e-Side</source>
        <translation>Seitw&amp;ärts</translation>
    </message>
    <message>
        <source>&amp;Milleseconds</source>
        <translation>Millise&amp;k.</translation>
    </message>
    <message>
        <source>TL / TR</source>
        <translation>DL / DR</translation>
    </message>
    <message>
        <source>LU / LD</source>
        <translation>BO / BU</translation>
    </message>
    <message>
        <source>LL / LR</source>
        <translation>NL / NR</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Hil&amp;fe</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbr&amp;echen</translation>
    </message>
    <message>
        <source>S&amp;ave</source>
        <translation>Spe&amp;ichern</translation>
    </message>
    <message>
        <source>Sa&amp;ve As</source>
        <translation>Spei&amp;ch. als</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>L&amp;öschen</translation>
    </message>
    <message>
        <source>Tollan Home Pa&amp;ge</source>
        <translation>Tollan-&amp;Homepage</translation>
    </message>
    <message>
        <source>Tollan Corvane</source>
        <translation>Tollan Corvane</translation>
    </message>
    <message>
        <source>Pro&amp;file</source>
        <translation>&amp;Profil</translation>
    </message>
    <message>
        <source>M&amp;odel</source>
        <translation>Mo&amp;dell</translation>
    </message>
    <message>
        <source>Magnetic filter</source>
        <translation>Magnetfilter</translation>
    </message>
    <message>
        <source>Jitter filter</source>
        <translation>Zitterfilter</translation>
    </message>
    <message>
        <source>Tilt filter</source>
        <translation>Neigungsfilter</translation>
    </message>
    <message>
        <source>Left-right smoothing</source>
        <translation>Glättung links-rechts</translation>
    </message>
    <message>
        <source>Up-down smoothing</source>
        <translation>Glättung auf-ab</translation>
    </message>
    <message>
        <source>Side-side smoothing</source>
        <translation>Glättung seitwärts</translation>
    </message>
    <message>
        <source>Left-right speed</source>
        <translation>Geschwindigkeit links-rechts</translation>
    </message>
    <message>
        <source>Up-down speed</source>
        <translation>Geschwindigkeit auf-ab</translation>
    </message>
    <message>
        <source>Side-side speed</source>
        <translation>Geschwindigkeit seitwärts</translation>
    </message>
    <message>
        <source>Update delay</source>
        <translation>Aktualisierungsintervall</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Settings tabs</source>
        <translation>Einstellungsreiter</translation>
    </message>
    <message>
        <source>Tracker model</source>
        <translation>Tracker-Modell</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>Port speed</source>
        <translation>Baudrate</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <source>Mouse mode</source>
        <translation>Mausmodus</translation>
    </message>
    <message>
        <source>Key mode</source>
        <translation>Tastenmodus</translation>
    </message>
    <message>
        <source>Turn left keys</source>
        <translation>Tasten für Drehen nach links</translation>
    </message>
    <message>
        <source>Turn right keys</source>
        <translation>Tasten für Drehen nach rechts</translation>
    </message>
    <message>
        <source>Look up keys</source>
        <translation>Tasten für Blick nach oben</translation>
    </message>
    <message>
        <source>Look down keys</source>
        <translation>Tasten für Blick nach unten</translation>
    </message>
    <message>
        <source>Lean left keys</source>
        <translation>Tasten für Neigen nach links</translation>
    </message>
    <message>
        <source>Lean right keys</source>
        <translation>Tasten für Neigen nach rechts</translation>
    </message>
    <message>
        <source>Start keys</source>
        <translation>Tasten für Start</translation>
    </message>
    <message>
        <source>Stop keys</source>
        <translation>Tasten für Stopp</translation>
    </message>
    <message>
        <source>Output monitor: turn</source>
        <translation>Ausgabe: Drehen</translation>
    </message>
    <message>
        <source>TL / TR: turn left and right</source>
        <translation>DL / DR: links und rechts drehen</translation>
    </message>
    <message>
        <source>Output monitor: up-down</source>
        <translation>Ausgabe: auf-ab</translation>
    </message>
    <message>
        <source>LU / LD: look up and down</source>
        <translation>BO / BU: nach oben und unten blicken</translation>
    </message>
    <message>
        <source>Output monitor: lean</source>
        <translation>Ausgabe: Neigen</translation>
    </message>
    <message>
        <source>LL / LR: lean left and right</source>
        <translation>NL / NR: links und rechts neigen</translation>
    </message>
    <message>
        <source>Output monitor: keys sent</source>
        <translation>Ausgabe: gesendete Tasten</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>%1 value</source>
        <translation>%1, Wert</translation>
    </message>
    <message>
        <source>Settings page</source>
        <translation>Einstellungsseite</translation>
    </message>
</context>
</TS>
