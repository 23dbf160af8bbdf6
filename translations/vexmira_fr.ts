<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>DesktopNotification</name>
    <message>
        <location filename="../src/ui/components/desktop_notification.cpp" line="+31"/>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
<context>
    <name>FileNameEdit</name>
    <message>
        <location filename="../src/ui/filename_edit.cpp" line="+43"/>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+36"/>
        <source>Login name of the webmail account</source>
        <translation>Identifiant du compte de messagerie web</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Account password</source>
        <translation>Mot de passe du compte</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Password of the webmail account</source>
        <translation>Mot de passe du compte de messagerie web</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minutes between automatic checks, 2 to 60</source>
        <translation>Minutes entre deux vérifications automatiques, de 2 à 60</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Automatic check enabled</source>
        <translation>Vérification automatique activée</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save account password</source>
        <translation>Mémoriser le mot de passe du compte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep the account password in the settings file</source>
        <translation>Conserver le mot de passe du compte dans le fichier de configuration</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reach the webmail service through an HTTP proxy</source>
        <translation>Joindre le service de messagerie web par un proxy HTTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User name for the proxy&apos;s authentication</source>
        <translation>Nom d&apos;utilisateur pour l&apos;authentification auprès du proxy</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Proxy password</source>
        <translation>Mot de passe du proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Password for the proxy&apos;s authentication</source>
        <translation>Mot de passe pour l&apos;authentification auprès du proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Host name or address of the HTTP proxy</source>
        <translation>Nom d&apos;hôte ou adresse du proxy HTTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port of the HTTP proxy</source>
        <translation>Port du proxy HTTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save proxy password</source>
        <translation>Mémoriser le mot de passe du proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep the proxy password in the settings file</source>
        <translation>Conserver le mot de passe du proxy dans le fichier de configuration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play a sound when new mail arrives</source>
        <translation>Jouer un son à l&apos;arrivée de nouveaux messages</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sound file</source>
        <translation>Fichier son</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wave file played when new mail arrives</source>
        <translation>Fichier WAV joué à l&apos;arrivée de nouveaux messages</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose sound file</source>
        <translation>Choisir le fichier son</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose the wave file in a file chooser</source>
        <translation>Choisir le fichier WAV dans un sélecteur de fichiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Start Vexmira in the notification area when you log in</source>
        <translation>Lancer Vexmira dans la zone de notification à l&apos;ouverture de session</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>While Vexmira sits in the notification area, tell about new mail in a desktop notification</source>
        <translation>Quand Vexmira est dans la zone de notification, signaler le nouveau courrier par une notification du bureau</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window.h" line="+38"/>
        <source>Wave Files (*.wav)|*.wav</source>
        <translation>Fichiers WAV (*.wav)|*.wav</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window_layout.cpp" line="+108"/>
        <source>Check</source>
        <translation>Vérifier</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Desktop</source>
        <translation>Bureau</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Login</source>
        <translation>Identifiant</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+30"/>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>Time</source>
        <translation>Minutes</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Enabled</source>
        <translation>Activé</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Enable/Disable automatic check</source>
        <translation>Activer/désactiver la vérification automatique</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+26"/>
        <source>Save Password</source>
        <translation>Mémoriser</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>Enable/Disable password saving</source>
        <translation>Activer/désactiver la mémorisation du mot de passe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show Headers</source>
        <translation>En-têtes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Enable/Disable header checking</source>
        <translation>Activer/désactiver la lecture des en-têtes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Check</source>
        <translation>&amp;Vérifier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Check for new mail</source>
        <translation>Vérifier s&apos;il y a de nouveaux messages</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Stop</source>
        <translation>&amp;Arrêter</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stop the current check process</source>
        <translation>Arrêter la vérification en cours</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Headers</source>
        <translation>&amp;En-têtes</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show messages headers</source>
        <translation>Afficher les en-têtes des messages</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Use Proxy</source>
        <translation>Via proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User Name</source>
        <translation>Nom d&apos;utilisateur</translation>
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
        <translation>Son</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Start at login</source>
        <translation>Démarrage</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notify on the desktop when new mail arrives</source>
        <translation>Notifier sur le bureau à l'arrivée de courrier</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Go to URL</source>
        <translation>&amp;Site web</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Go to my URL and send your comments!!</source>
        <translation>Visitez mon site et envoyez-moi vos commentaires&#xa0;!!</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window_tray.cpp" line="+22"/>
        <source>&amp;Restore</source>
        <translation>&amp;Restaurer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Check Now</source>
        <translation>&amp;Vérifier maintenant</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Enabled</source>
        <translation>Vérification &amp;automatique</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>C&amp;lose</source>
        <translation>&amp;Quitter</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <location filename="../src/ui/message_boxes.cpp" line="+29"/>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
</context>
<context>
    <name>MessagesWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+5"/>
        <source>Senders of the new messages; tick the ones to delete</source>
        <translation>Expéditeurs des nouveaux messages&#xa0;; cochez ceux à supprimer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>From</source>
        <translation>De</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dates of the new messages</source>
        <translation>Dates des nouveaux messages</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+77"/>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Subjects of the new messages</source>
        <translation>Objets des nouveaux messages</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+1"/>
        <source>Subject</source>
        <translation>Objet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sizes of the new messages</source>
        <translation>Tailles des nouveaux messages</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+1"/>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close this window</source>
        <translation>Fermer cette fenêtre</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete the ticked messages</source>
        <translation>Supprimer les messages cochés</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show the selected message</source>
        <translation>Afficher le message sélectionné</translation>
    </message>
    <message>
        <location filename="../src/ui/messages_window.cpp" line="+114"/>
        <source>New Messages for %1</source>
        <translation>Nouveaux messages pour %1</translation>
    </message>
    <message>
        <location filename="../src/ui/messages_window_layout.cpp" line="-9"/>
        <source>Messages</source>
        <translation>Messages</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>From:</source>
        <translation>De&#xa0;:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>HotMail</source>
        <translation>HotMail</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open HotMail in the default browser</source>
        <translation>Ouvrir HotMail dans le navigateur par défaut</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Delete</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
</context>
<context>
    <name>PreviewWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+4"/>
        <source>Message text</source>
        <translation>Texte du message</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The retrieved message</source>
        <translation>Le message récupéré</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close the preview</source>
        <translation>Fermer l&apos;aperçu</translation>
    </message>
    <message>
        <location filename="../src/ui/preview_window.cpp" line="+32"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Message Preview</source>
        <translation>Aperçu du message</translation>
    </message>
</context>
<context>
    <name>SessionText</name>
    <message>
        <location filename="../src/ui/session_texts.cpp" line="+13"/>
        <source>Idle</source>
        <translation>Prêt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connecting...</source>
        <translation>Connexion...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Receiving data...</source>
        <translation>Réception des données...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Analysing data...</source>
        <translation>Analyse des données...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Processing...</source>
        <translation>Traitement...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Checking Headers</source>
        <translation>Lecture des en-têtes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Logging out...</source>
        <translation>Déconnexion...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Deleting mails</source>
        <translation>Suppression des messages</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Retrieving mail</source>
        <translation>Récupération du message</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No mail for you!</source>
        <translation>Pas de courrier pour vous&#xa0;!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Checked</source>
        <translation>Non vérifié</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not checked</source>
        <translation>Non vérifié</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sorry, login failed!</source>
        <translation>Désolé, échec de la connexion&#xa0;!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error in Internet Connection or Operation Aborted</source>
        <translation>Erreur de connexion Internet ou opération interrompue</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error in internet connection or Operation Aborted</source>
        <translation>Erreur de connexion Internet ou opération interrompue</translation>
    </message>
</context>
<context>
    <name>SingleLineField</name>
    <message>
        <location filename="../src/ui/single_line_field.h" line="+11"/>
        <source>Only characters of the Latin-1 set (Western European) can be used here.</source>
        <translation>Seuls les caractères du jeu Latin-1 (Europe occidentale) sont acceptés ici.</translation>
    </message>
</context>
</TS>
