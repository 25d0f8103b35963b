<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en_US">
<context>
    <name>print-dialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annulla</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Stampa</translation>
    </message>
    <message>
        <source>the panel could not save its values: %1</source>
        <translation>il pannello non ha potuto salvare i propri valori: %1</translation>
    </message>
    <message>
        <source>cannot write the ticket: %1</source>
        <translation>impossibile scrivere il ticket: %1</translation>
    </message>
    <message>
        <source>the panel cancelled printing</source>
        <translation>il pannello ha annullato la stampa</translation>
    </message>
    <message>
        <source>cannot write the test page: %1</source>
        <translation>impossibile scrivere la pagina di prova: %1</translation>
    </message>
    <message>
        <source>This printer has no Color Options.</source>
        <translation>Questa stampante non ha Opzioni colore.</translation>
    </message>
</context>
</TS>
