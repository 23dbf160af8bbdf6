<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>DesktopNotification</name>
    <message>
        <location filename="../src/ui/components/desktop_notification.cpp" line="+31"/>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
</context>
<context>
    <name>FileNameEdit</name>
    <message>
        <location filename="../src/ui/filename_edit.cpp" line="+43"/>
        <source>Browse</source>
        <translation>Examinar</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+36"/>
        <source>Login name of the webmail account</source>
        <translation>Nombre de usuario de la cuenta de correo web</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Account password</source>
        <translation>Contraseña de la cuenta</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Password of the webmail account</source>
        <translation>Contraseña de la cuenta de correo web</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minutes between automatic checks, 2 to 60</source>
        <translation>Minutos entre revisiones automáticas, de 2 a 60</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Automatic check enabled</source>
        <translation>Revisión automática activada</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save account password</source>
        <translation>Recordar la contraseña de la cuenta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep the account password in the settings file</source>
        <translation>Guardar la contraseña de la cuenta en el archivo de configuración</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reach the webmail service through an HTTP proxy</source>
        <translation>Acceder al servicio de correo web a través de un proxy HTTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User name for the proxy&apos;s authentication</source>
        <translation>Nombre de usuario para la autenticación en el proxy</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Proxy password</source>
        <translation>Contraseña del proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Password for the proxy&apos;s authentication</source>
        <translation>Contraseña para la autenticación en el proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Host name or address of the HTTP proxy</source>
        <translation>Nombre de host o dirección del proxy HTTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port of the HTTP proxy</source>
        <translation>Puerto del proxy HTTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save proxy password</source>
        <translation>Recordar la contraseña del proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep the proxy password in the settings file</source>
        <translation>Guardar la contraseña del proxy en el archivo de configuración</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play a sound when new mail arrives</source>
        <translation>Reproducir un sonido cuando llegue correo nuevo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sound file</source>
        <translation>Archivo de sonido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wave file played when new mail arrives</source>
        <translation>Archivo WAV que se reproduce cuando llega correo nuevo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose sound file</source>
        <translation>Elegir archivo de sonido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose the wave file in a file chooser</source>
        <translation>Elegir el archivo WAV en un selector de archivos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Start Vexmira in the notification area when you log in</source>
        <translation>Iniciar Vexmira en el área de notificación al iniciar sesión</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>While Vexmira sits in the notification area, tell about new mail in a desktop notification</source>
        <translation>Mientras Vexmira está en el área de notificación, avisar del correo nuevo con una notificación del escritorio</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window.h" line="+38"/>
        <source>Wave Files (*.wav)|*.wav</source>
        <translation>Archivos WAV (*.wav)|*.wav</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window_layout.cpp" line="+108"/>
        <source>Check</source>
        <translation>Revisar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Options</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Desktop</source>
        <translation>Escritorio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Login</source>
        <translation>Usuario</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+30"/>
        <source>Password</source>
        <translation>Contraseña</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>Time</source>
        <translation>Minutos</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Enabled</source>
        <translation>Activo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Enable/Disable automatic check</source>
        <translation>Activar/desactivar la revisión automática</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+26"/>
        <source>Save Password</source>
        <translation>Recordar</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>Enable/Disable password saving</source>
        <translation>Activar/desactivar el guardado de la contraseña</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show Headers</source>
        <translation>Ver lista</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Enable/Disable header checking</source>
        <translation>Activar/desactivar la lectura de encabezados</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Check</source>
        <translation>&amp;Revisar</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Check for new mail</source>
        <translation>Buscar correo nuevo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Stop</source>
        <translation>&amp;Detener</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stop the current check process</source>
        <translation>Detener la revisión en curso</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Headers</source>
        <translation>&amp;Lista</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show messages headers</source>
        <translation>Mostrar los encabezados de los mensajes</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Use Proxy</source>
        <translation>Con proxy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User Name</source>
        <translation>Nombre de usuario</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Port</source>
        <translation>Puerto</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Play Sound</source>
        <translation>Sonido</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Start at login</source>
        <translation>Autoinicio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notify on the desktop when new mail arrives</source>
        <translation>Avisar en el escritorio cuando llegue correo</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Go to URL</source>
        <translation>&amp;Sitio web</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Go to my URL and send your comments!!</source>
        <translation>¡¡Visite mi sitio web y envíeme sus comentarios!!</translation>
    </message>
    <message>
        <location filename="../src/ui/main_window_tray.cpp" line="+22"/>
        <source>&amp;Restore</source>
        <translation>&amp;Restaurar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Check Now</source>
        <translation>Revisar &amp;ahora</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Enabled</source>
        <translation>Revisión a&amp;utomática</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>C&amp;lose</source>
        <translation>&amp;Salir</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <location filename="../src/ui/message_boxes.cpp" line="+29"/>
        <source>Unknown error</source>
        <translation>Error desconocido</translation>
    </message>
</context>
<context>
    <name>MessagesWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+5"/>
        <source>Senders of the new messages; tick the ones to delete</source>
        <translation>Remitentes de los mensajes nuevos; marque los que quiera eliminar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>From</source>
        <translation>De</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dates of the new messages</source>
        <translation>Fechas de los mensajes nuevos</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+77"/>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Subjects of the new messages</source>
        <translation>Asuntos de los mensajes nuevos</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+1"/>
        <source>Subject</source>
        <translation>Asunto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sizes of the new messages</source>
        <translation>Tamaños de los mensajes nuevos</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/messages_window_layout.cpp" line="+1"/>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close this window</source>
        <translation>Cerrar esta ventana</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete the ticked messages</source>
        <translation>Eliminar los mensajes marcados</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show the selected message</source>
        <translation>Mostrar el mensaje seleccionado</translation>
    </message>
    <message>
        <location filename="../src/ui/messages_window.cpp" line="+114"/>
        <source>New Messages for %1</source>
        <translation>Mensajes nuevos para %1</translation>
    </message>
    <message>
        <location filename="../src/ui/messages_window_layout.cpp" line="-9"/>
        <source>Messages</source>
        <translation>Mensajes</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>From:</source>
        <translation>De:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>HotMail</source>
        <translation>HotMail</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open HotMail in the default browser</source>
        <translation>Abrir HotMail en el navegador predeterminado</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Preview</source>
        <translation>Ver</translation>
    </message>
</context>
<context>
    <name>PreviewWindow</name>
    <message>
        <location filename="../src/ui/accessible_texts.cpp" line="+4"/>
        <source>Message text</source>
        <translation>Texto del mensaje</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The retrieved message</source>
        <translation>El mensaje recuperado</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close the preview</source>
        <translation>Cerrar la vista previa</translation>
    </message>
    <message>
        <location filename="../src/ui/preview_window.cpp" line="+32"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Message Preview</source>
        <translation>Vista previa del mensaje</translation>
    </message>
</context>
<context>
    <name>SessionText</name>
    <message>
        <location filename="../src/ui/session_texts.cpp" line="+13"/>
        <source>Idle</source>
        <translation>Listo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connecting...</source>
        <translation>Conectando...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Receiving data...</source>
        <translation>Recibiendo datos...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Analysing data...</source>
        <translation>Analizando datos...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Processing...</source>
        <translation>Procesando...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Checking Headers</source>
        <translation>Leyendo encabezados</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Logging out...</source>
        <translation>Cerrando sesión...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Deleting mails</source>
        <translation>Eliminando mensajes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Retrieving mail</source>
        <translation>Recuperando mensaje</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No mail for you!</source>
        <translation>¡No hay correo para usted!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Checked</source>
        <translation>Sin revisar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not checked</source>
        <translation>Sin revisar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sorry, login failed!</source>
        <translation>¡Lo sentimos, no se pudo iniciar sesión!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error in Internet Connection or Operation Aborted</source>
        <translation>Error en la conexión a Internet u operación cancelada</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error in internet connection or Operation Aborted</source>
        <translation>Error en la conexión a Internet u operación cancelada</translation>
    </message>
</context>
<context>
    <name>SingleLineField</name>
    <message>
        <location filename="../src/ui/single_line_field.h" line="+11"/>
        <source>Only characters of the Latin-1 set (Western European) can be used here.</source>
        <translation>Aquí solo se pueden usar caracteres del juego Latin-1 (Europa occidental).</translation>
    </message>
</context>
</TS>
