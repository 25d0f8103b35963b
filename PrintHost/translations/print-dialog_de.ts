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
</context>
</TS>
