<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>print-dialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>the panel could not save its values: %1</source>
        <translation>das Bedienfeld konnte seine Werte nicht sichern: %1</translation>
    </message>
    <message>
        <source>cannot write the ticket: %1</source>
        <translation>das Ticket kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>the panel cancelled printing</source>
        <translation>das Bedienfeld hat das Drucken abgebrochen</translation>
    </message>
    <message>
        <source>cannot write the test page: %1</source>
        <translation>die Testseite kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>This printer has no Color Options.</source>
        <translation>Dieser Drucker hat keine Farboptionen.</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Choose the printer whose color options you want to set:</source>
        <translation>Wählen Sie den Drucker, dessen Farboptionen Sie einstellen möchten:</translation>
    </message>
    <message>
        <source>No printer uses the ZR-K5100 driver yet. Add the printer in the desktop's printer settings and choose the driver “Ostra ZR-K5100 PS”, or as root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

with the DRIVER that “lpinfo -m | grep ZR-K5100” names. Then open ZR-K5100 Color Options again.</source>
        <translation>Noch kein Drucker verwendet den ZR-K5100-Treiber. Fügen Sie den Drucker in den Druckereinstellungen der Arbeitsumgebung hinzu und wählen Sie den Treiber „Ostra ZR-K5100 PS“, oder als root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

mit dem DRIVER, den „lpinfo -m | grep ZR-K5100“ nennt. Öffnen Sie danach ZR-K5100 Farboptionen erneut.</translation>
    </message>
    <message>
        <source>Printers</source>
        <translation>Drucker</translation>
    </message>
    <message>
        <source>The printing system (CUPS) cannot be asked for its printers: %1</source>
        <translation>Das Drucksystem (CUPS) kann nicht nach seinen Druckern gefragt werden: %1</translation>
    </message>
    <message>
        <source>ZR-K5100 Color Options</source>
        <translation>ZR-K5100 Farboptionen</translation>
    </message>
    <message>
        <source>OK keeps these choices as the defaults of the printer %1 for every program that prints to it.</source>
        <translation>OK übernimmt diese Einstellungen als Standard des Druckers %1 für jedes Programm, das auf ihm druckt.</translation>
    </message>
</context>
</TS>
