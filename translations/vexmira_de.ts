<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>DesktopNotification</name>
    <message>
        <location filename="../src/ui/components/desktop_notification.cpp" line="+31"/>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>FileNameEdit</name>
    <message>
        <location filename="../src/ui/filename_edit.cpp" line="+43"/>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+36"/>
        <source>Login name of the webmail account</source>
        <translation>Anmeldename des Webmail-Kontos</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Account password</source>
        <translation>Kontopasswort</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Password of the webmail account</source>
        <translation>Passwort des Webmail-Kontos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minutes between automatic checks, 2 to 60</source>
        <translation>Minuten zwischen automatischen Prüfungen, 2 bis 60</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Automatic check enabled</source>
        <translation>Automatische Prüfung aktiv</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save account password</source>
        <translation>Kontopasswort speichern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep the account password in the settings file</source>
        <translation>Das Kontopasswort in der Einstellungsdatei speichern</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reach the webmail service through an HTTP proxy</source>
        <translation>Den Webmail-Dienst über einen HTTP-Proxy erreichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User name for the proxy&apos;s authentication</source>
        <translation>Benutzername für die Anmeldung am Proxy</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Proxy password</source>
        <translation>Proxy-Passwort</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Password for the proxy&apos;s authentication</source>
        <translation>Passwort für die Anmeldung am Proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Host name or address of the HTTP proxy</source>
        <translation>Rechnername oder Adresse des HTTP-Proxys</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port of the HTTP proxy</source>
        <translation>Port des HTTP-Proxys</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save proxy password</source>
        <translation>Proxy-Passwort speichern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep the proxy password in the settings file</source>
        <translation>Das Proxy-Passwort in der Einstellungsdatei speichern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play a sound when new mail arrives</source>
        <translation>Bei neuer Post einen Ton abspielen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sound file</source>
        <translation>Tondatei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wave file played when new mail arrives</source>
        <translation>WAV-Datei, die bei neuer Post abgespielt wird</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose sound file</source>
        <translation>Tondatei wählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose the wave file in a file chooser</source>
        <translation>Die WAV-Datei in einem Dateidialog wählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Start Vexmira in the notification area when you log in</source>
        <translation>Vexmira bei der Anmeldung im Benachrichtigungsfeld starten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>While Vexmira sits in the notification area, tell about new mail in a desktop notification</source>
        <translation>Solange Vexmira im Benachrichtigungsfeld liegt, neue Post in einer Desktop-Benachrichtigung melden</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window.h" line="+38"/>
        <source>Wave Files (*.wav)|*.wav</source>
        <translation>WAV-Dateien (*.wav)|*.wav</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window_layout.cpp" line="+108"/>
        <source>Check</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Desktop</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Login</source>
        <translation>Anmeldename</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+30"/>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>Time</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Enabled</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Enable/Disable automatic check</source>
        <translation>Automatische Prüfung ein-/ausschalten</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+26"/>
        <source>Save Password</source>
        <translation>Merken</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>Enable/Disable password saving</source>
        <translation>Speichern des Passworts ein-/ausschalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show Headers</source>
        <translation>Liste zeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Enable/Disable header checking</source>
        <translation>Abruf der Kopfzeilen ein-/ausschalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Check</source>
        <translation>&amp;Prüfen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Check for new mail</source>
        <translation>Auf neue Post prüfen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Stop</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stop the current check process</source>
        <translation>Die laufende Prüfung abbrechen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Headers</source>
        <translation>&amp;Liste</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show messages headers</source>
        <translation>Kopfzeilen der Nachrichten anzeigen</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Use Proxy</source>
        <translation>Mit Proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User Name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Play Sound</source>
        <translation>Signalton</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Start at login</source>
        <translation>Autostart</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notify on the desktop when new mail arrives</source>
        <translation>Bei neuer Post auf dem Desktop benachrichtigen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Go to URL</source>
        <translation>&amp;Webseite</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Go to my URL and send your comments!!</source>
        <translation>Besuchen Sie meine Webseite und schicken Sie mir Ihre Meinung!!</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window_tray.cpp" line="+22"/>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Check Now</source>
        <translation>Jetzt &amp;prüfen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Enabled</source>
        <translation>&amp;Automatisch prüfen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>C&amp;lose</source>
        <translation>&amp;Beenden</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <location filename="../src/ui/message_boxes.cpp" line="+29"/>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>MessagesWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+5"/>
        <source>Senders of the new messages; tick the ones to delete</source>
        <translation>Absender der neuen Nachrichten; die zu löschenden ankreuzen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dates of the new messages</source>
        <translation>Datum der neuen Nachrichten</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+77"/>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Subjects of the new messages</source>
        <translation>Betreffzeilen der neuen Nachrichten</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+1"/>
        <source>Subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sizes of the new messages</source>
        <translation>Größen der neuen Nachrichten</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+1"/>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close this window</source>
        <translation>Dieses Fenster schließen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete the ticked messages</source>
        <translation>Die angekreuzten Nachrichten löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show the selected message</source>
        <translation>Die ausgewählte Nachricht anzeigen</translation>
    </message>
    <message>
        <location filename="../src/ui/messages_window.cpp" line="+114"/>
        <source>New Messages for %1</source>
        <translation>Neue Nachrichten für %1</translation>
    </message>
    <message>
        <location filename="../src/ui/messages_window_layout.cpp" line="-9"/>
        <source>Messages</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>HotMail</source>
        <translation>HotMail</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open HotMail in the default browser</source>
        <translation>HotMail im Standardbrowser öffnen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
</context>
<context>
    <name>PreviewWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+4"/>
        <source>Message text</source>
        <translation>Nachrichtentext</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The retrieved message</source>
        <translation>Die abgerufene Nachricht</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close the preview</source>
        <translation>Die Vorschau schließen</translation>
    </message>
    <message>
        <location filename="../src/ui/preview_window.cpp" line="+32"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Message Preview</source>
        <translation>Nachrichtenvorschau</translation>
    </message>
</context>
<context>
    <name>SessionText</name>
    <message>
        <location filename="../src/ui/session_texts.cpp" line="+13"/>
        <source>Idle</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connecting...</source>
        <translation>Verbindung wird aufgebaut...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Receiving data...</source>
        <translation>Daten werden empfangen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Analysing data...</source>
        <translation>Daten werden ausgewertet...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Processing...</source>
        <translation>Verarbeitung...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Checking Headers</source>
        <translation>Kopfzeilen werden gelesen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Logging out...</source>
        <translation>Abmeldung...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Deleting mails</source>
        <translation>Nachrichten werden gelöscht</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Retrieving mail</source>
        <translation>Nachricht wird abgerufen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No mail for you!</source>
        <translation>Keine Post für Sie!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Checked</source>
        <translation>Nicht geprüft</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not checked</source>
        <translation>Nicht geprüft</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sorry, login failed!</source>
        <translation>Anmeldung leider fehlgeschlagen!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error in Internet Connection or Operation Aborted</source>
        <translation>Fehler in der Internetverbindung oder Vorgang abgebrochen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error in internet connection or Operation Aborted</source>
        <translation>Fehler in der Internetverbindung oder Vorgang abgebrochen</translation>
    </message>
</context>
<context>
    <name>SingleLineField</name>
    <message>
        <location filename="../src/ui/single_line_field.h" line="+11"/>
        <source>Only characters of the Latin-1 set (Western European) can be used here.</source>
        <translation>Hier sind nur Zeichen des Latin-1-Zeichensatzes (westeuropäisch) erlaubt.</translation>
    </message>
</context>
</TS>
